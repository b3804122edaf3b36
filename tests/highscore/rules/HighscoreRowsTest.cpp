// A list's rows as they are read from a file's text, ordered and offered.
#include <gtest/gtest.h>

#include <sstream>

#include "highscore/rules/HighscoreRows.h"

// The name is all before the first ';', the score what atoi reads after it but held within 32 bits; a line
// without ';' is a default row (":)" with 10 in a list of one), as is one whose ';' lies beyond the limit.
TEST(HighscoreRows, EachLineIsReadAsNameAndTheNumberAtoiWouldRead)
{
    const std::pair<std::string, std::string> cases[] = {
        {";", ";0"}, {"A 50", ":);10"}, {"A;x;5", "A;0"},
        {"B;\v\f -3", "B;-3"}, {"D;2147483648", "D;2147483647"},
        {std::string(HighscoreLineLimit, 'a') + ";5", ":);10"},
    };
    for (const auto& [line, row] : cases) {
        HighscoreRows list("", 1);
        std::istringstream in(line);
        list.readFrom(in);
        std::ostringstream out;
        list.writeTo(out);
        EXPECT_EQ(out.str(), row + "\n");
    }
}

// Reading sorts by exchanging rows, so equal scores may change order, and skips the rest of a line beyond
// the limit; only a better score replaces the last.
TEST(HighscoreRows, RowsAreSortedByExchangingAndOnlyABetterScoreReplacesTheLast)
{
    HighscoreRows list("", 3);
    std::istringstream in("A;50" + std::string(HighscoreLineLimit, 'x') + "\nB;50\nC;60\n");
    list.readFrom(in);
    EXPECT_FALSE(list.insert("D", 50));
    EXPECT_TRUE(list.insert("E", 55));
    std::ostringstream out;
    list.writeTo(out);
    EXPECT_EQ(out.str(), "C;60\nE;55\nB;50\n");
}
