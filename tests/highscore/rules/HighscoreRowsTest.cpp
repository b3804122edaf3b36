// A list's rows as they are read from a file's text, ordered and offered.
#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "highscore/rules/HighscoreRows.h"

namespace {

std::string textOf(const HighscoreRows& list)
{
    std::ostringstream out;
    list.writeTo(out);
    return "\n" + out.str();
}

}  // namespace

// Up to the line limit a line is the name before its first ';' and the number after it as atoi reads it
// (strtoll here), held within 32 bits; a line without ';' is a default row. The next line is read after it.
TEST(HighscoreRows, EachLineIsReadAsNameAndTheNumberAtoiWouldRead)
{
    const std::string limit(HighscoreLineLimit, 'a');
    const std::string lines[] = {"", ";", "Abc 50", "Abc;x;5", "G;12xy3", "Xyz;2975\r", "A; \t+17", "B;\v\f -3",
                                 "C;- 3", "D;+-3", std::string("J\0rgen M\xFC;-40", 14), "Max;2147483647",
                                 "Min;-2147483648", "A;2147483648", "B;-99999999999999999999", limit + ";5",
                                 limit.substr(3) + ";42" + limit};
    for (const std::string& line : lines) {
        HighscoreRows list("Liste", 2);
        std::istringstream in(line + "\nB;7\n");
        list.readFrom(in);
        const std::string kept = line.substr(0, HighscoreLineLimit);
        const size_t at = kept.find(';');
        const long long score = std::strtoll(&kept[std::min(at + 1, kept.size())], nullptr, 10);
        const std::string row = at == std::string::npos ? ":);20" : kept.substr(0, at) + ";" +
                                std::to_string(std::clamp<long long>(score, INT32_MIN, INT32_MAX));
        EXPECT_NE(textOf(list).find("\n" + row + "\n"), std::string::npos) << line.substr(0, 20);
        EXPECT_NE(textOf(list).find("\nB;7\n"), std::string::npos) << line.substr(0, 20);
    }
}

// Reading sorts by exchanging rows, so equal scores may change order; only a better score replaces the last.
TEST(HighscoreRows, RowsAreSortedByExchangingAndOnlyABetterScoreReplacesTheLast)
{
    HighscoreRows list("Liste", 3);
    std::istringstream in("A;50\nB;50\nC;60\n");
    list.readFrom(in);
    EXPECT_FALSE(list.insert("D", 50));
    EXPECT_TRUE(list.insert("E", 55));
    EXPECT_EQ(textOf(list), "\nC;60\nE;55\nB;50\n");
}
