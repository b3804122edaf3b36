#include "highscore/rules/HighscoreRows.h"

#include <algorithm>
#include <cassert>
#include <istream>
#include <limits>
#include <ostream>
#include <string_view>
#include <utility>

namespace {

int32_t clampToInt32(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// The row that stands wherever the file has none: ":)" with 100, 90, ..., 10 for ten rows.
HighscoreEntry defaultRow(int32_t capacity, int32_t row)
{
    return {":)", clampToInt32((static_cast<int64_t>(capacity) - row) * 10)};
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Reads a number as atoi does (white space, an optional sign, the digits up to the first other
// byte; no digits give 0), except that a number beyond 32 bits sticks at the nearest limit
// instead of being undefined.
int32_t parseScore(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    constexpr int64_t beyondAnyScore = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        magnitude = std::min(beyondAnyScore, magnitude * 10 + (text[i] - '0'));
    return clampToInt32(negative ? -magnitude : magnitude);
}

// One line up to its LF, without it; empty at the end of the input. Only the first
// HighscoreLineLimit bytes are kept and the rest is skipped, so an endless line costs time but
// never memory. The stream's own operations are used because they turn a read error (a folder
// under the list's name, a failing disk) into a state instead of an exception.
std::string readLine(std::istream& in, std::vector<char>& buffer)
{
    buffer.resize(HighscoreLineLimit + 1);
    in.get(buffer.data(), static_cast<std::streamsize>(buffer.size()), '\n');
    std::string line(buffer.data(), static_cast<std::size_t>(in.gcount()));
    if (!in.bad())
        in.clear(in.rdstate() & std::ios::eofbit);  // an empty line is no failure
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    return line;
}

}  // namespace

HighscoreRows::HighscoreRows(std::string title, int32_t capacity)
    : listTitle(std::move(title)), rows(static_cast<std::size_t>(capacity))
{
    assert(capacity >= 0);
    setDefaultRows();
}

void HighscoreRows::setDefaultRows()
{
    for (int32_t i = 0; i < capacity(); ++i)
        rows[static_cast<std::size_t>(i)] = defaultRow(capacity(), i);
}

void HighscoreRows::readFrom(std::istream& in)
{
    std::vector<char> buffer;
    for (int32_t i = 0; i < capacity(); ++i) {
        const std::string line = readLine(in, buffer);
        const std::size_t separator = line.find(';');
        rows[static_cast<std::size_t>(i)] =
            separator == std::string::npos
                ? defaultRow(capacity(), i)
                : HighscoreEntry{line.substr(0, separator), parseScore(std::string_view(line).substr(separator + 1))};
    }
    sort();
}

void HighscoreRows::writeTo(std::ostream& out) const
{
    // to_string rather than <<: a locale with digit grouping must not reach the file.
    for (const HighscoreEntry& row : rows)
        out << row.name << ';' << std::to_string(row.score) << '\n';
    out.flush();
}

void HighscoreRows::sort()
{
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::size_t best = i;
        for (std::size_t j = i + 1; j < rows.size(); ++j)
            if (rows[j].score > rows[best].score)
                best = j;
        if (best > i)
            std::swap(rows[i], rows[best]);
    }
}

int32_t HighscoreRows::score(int32_t i) const
{
    return i >= 0 && i < capacity() ? rows[static_cast<std::size_t>(i)].score : 0;
}

std::string HighscoreRows::name(int32_t i) const
{
    return i >= 0 && i < capacity() ? rows[static_cast<std::size_t>(i)].name : std::string();
}

bool HighscoreRows::qualifies(int32_t score) const { return !rows.empty() && score > rows.back().score; }

bool HighscoreRows::insert(const std::string& name, int32_t score)
{
    if (!qualifies(score))
        return false;
    rows.back() = {name, score};
    sort();
    return true;
}
