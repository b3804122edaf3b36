#include "highscore/HighscoreTable.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <istream>
#include <limits>
#include <new>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "system/Files.h"

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

// Only a regular file (or a link to one) is read as a list: a FIFO would block the game until
// someone writes to it, and a device such as /dev/zero would keep it reading for ever.
bool isNoList(const std::string& path)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    return std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
}

bool opens(const std::string& path, int flags)
{
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// Replacing the file would replace anything under the list's name, so it is kept from replacing
// what the list must leave alone: a list the player has made read-only, and one that could not
// be read (its rows were shown as default rows; writing those would lose the real ones), which
// includes everything that is not a regular file. Opening for appending asks the same question
// as writing would, without truncating anything.
bool mustBeLeftAlone(const std::string& path)
{
    if (isNoList(path))
        return true;
    if (!opens(path, O_RDONLY))
        return errno != ENOENT;
    return !opens(path, O_WRONLY | O_APPEND);
}

}  // namespace

HighscoreTable::HighscoreTable(std::string title, std::string fileName, int32_t capacity)
    : title(std::move(title)), capacity(capacity)
{
    try {
        entries.resize(static_cast<std::size_t>(capacity));
    } catch (const std::bad_alloc&) {
        entries.clear();
    } catch (const std::length_error&) {  // a negative count, as new[] would refuse it
        entries.clear();
    }
    if (static_cast<int64_t>(entries.size()) != capacity) {
        std::fprintf(stdout, "\nKonnte keine Liste erzeugen!\nSpeicherallocation nicht m\xF6glich\n");
        std::fflush(stdout);
        std::exit(1);
    }
    this->fileName = std::move(fileName);
    load();
    sort();
}

HighscoreTable::~HighscoreTable() { save(); }

void HighscoreTable::load()
{
    std::ifstream in;
    if (!isNoList(fileName))
        in.open(fileName, std::ios::binary);
    if (in.is_open()) {
        readFrom(in);
        return;
    }
    for (int32_t i = 0; i < capacity; ++i)
        entries[i] = defaultRow(capacity, i);
}

void HighscoreTable::readFrom(std::istream& in)
{
    std::vector<char> buffer;
    for (int32_t i = 0; i < capacity; ++i) {
        const std::string line = readLine(in, buffer);
        const std::size_t separator = line.find(';');
        if (separator == std::string::npos)
            entries[i] = defaultRow(capacity, i);
        else
            entries[i] = {line.substr(0, separator), parseScore(std::string_view(line).substr(separator + 1))};
    }
}

void HighscoreTable::writeTo(std::ostream& out) const
{
    // to_string rather than <<: a locale with digit grouping must not reach the file.
    for (const HighscoreEntry& row : entries)
        out << row.name << ';' << std::to_string(row.score) << '\n';
    out.flush();
}

// A list left alone loses the rows that changed as surely as a failed write, so both are told.
void HighscoreTable::save() const
{
    std::ostringstream content;
    writeTo(content);
    if (mustBeLeftAlone(fileName) || !replaceFile(fileName, content.str()))
        std::fprintf(stderr, "Konnte %s nicht speichern.\n", fileName.c_str());
}

// Selection sort that exchanges rows: among equal best scores the first one wins, and the
// exchange may carry a row behind another of the same score. Players know the lists this way.
void HighscoreTable::sort()
{
    for (int32_t i = 0; i < capacity; ++i) {
        int32_t best = i;
        for (int32_t j = i + 1; j < capacity; ++j)
            if (entries[j].score > entries[best].score)
                best = j;
        if (best > i)
            std::swap(entries[i], entries[best]);
    }
}

int32_t HighscoreTable::score(int32_t i) const { return i >= 0 && i < capacity ? entries[i].score : 0; }

std::string HighscoreTable::name(int32_t i) const { return i >= 0 && i < capacity ? entries[i].name : std::string(); }

bool HighscoreTable::qualifies(int32_t score) const { return capacity > 0 && score > entries.back().score; }

bool HighscoreTable::insert(const std::string& name, int32_t score)
{
    if (!qualifies(score))
        return false;
    entries.back() = {name, score};
    sort();
    return true;
}
