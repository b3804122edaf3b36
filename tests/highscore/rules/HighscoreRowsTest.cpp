// A list's rows as they are read from a file's text, ordered, offered and written.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <sstream>
#include <tuple>

#include "highscore/rules/HighscoreRows.h"

namespace {

std::string textOf(const HighscoreRows& list)
{
    std::ostringstream out;
    list.writeTo(out);
    return out.str();
}

using Rows = std::multiset<std::pair<int32_t, std::string>>;

Rows rowsOf(const std::string& text)  // one "name;score" per line
{
    Rows rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        rows.emplace(std::stoi(line.substr(line.rfind(';') + 1)), line.substr(0, line.rfind(';')));
    return rows;
}

// The given rows over the default rows ":)" with 100, 90, ..., 10.
Rows overDefaults(std::string rows)
{
    for (auto row = std::count(rows.begin(), rows.end(), '\n'); row < 10; ++row)
        rows += ":);" + std::to_string(100 - 10 * row) + "\n";
    return rowsOf(rows);
}

std::string readAndWritten(const std::string& text)
{
    HighscoreRows list("Chaos Click", 10);
    std::istringstream in(text);
    list.readFrom(in);
    return textOf(list);
}

}  // namespace

// Which rows a text gives; their order is the next test's.
TEST(HighscoreRows, EachLineIsReadAsNameAndTheNumberAtoiWouldRead)
{
    const std::string longName(65000, 'n'), nul("\0J\xFCrgen M\0x;5\n", 14);
    const struct {
        const char* what;
        std::string text, rows;
    } cases[] = {
        {"an empty file", "", ""},
        {"a lone ';' is an empty name with 0", ";\n", ";0\n"},
        {"the first ';' splits, letters end the number", "Abc;x;5\nDef;7;5\nG;12xy3\n", "Abc;0\nDef;7\nG;12\n"},
        {"CR LF ends a line like LF", "Abc;4120\r\nXyz;2975\r\n;45\r\n", "Abc;4120\nXyz;2975\n;45\n"},
        {"white space and one sign lead the number", "A; \t+17\nB;\v\f -3\nC;- 3\nD;+-3\nE;-40\n", "A;17\nB;-3\nC;0\nD;0\nE;-40\n"},
        {"a line without ';' and an empty line are default rows", "Abc 50\n\nXyz;20\n", ":);100\n:);90\nXyz;20\n"},
        {"the last line may lack its LF", "A;1\nB;2", "A;1\nB;2\n"},
        {"lines after the tenth are not read", std::string(10, '\n') + "L;11\n", ""},
        {"a name keeps spaces, Latin-1 and NUL bytes", nul, nul},
        // Beyond 32 bits atoi is undefined; the score sticks at the nearest limit instead.
        {"scores at and beyond the ends of 32 bits", "Max;2147483647\nMin;-2147483648\nA;2147483648\nB;-2147483649\nC;99999999999999999999\n",
         "Max;2147483647\nMin;-2147483648\nA;2147483647\nB;-2147483648\nC;2147483647\n"},
        // A line is kept up to the limit: a ';' beyond it is not seen, the rest is skipped.
        {"a ';' beyond the line limit", std::string(HighscoreLineLimit, 'a') + ";5\nB;7\n", ":);100\nB;7\n"},
        {"a 10 MB tail after the score", longName + ";42" + std::string(10'000'000, 'x') + "\nB;7\n", longName + ";42\nB;7\n"},
        {"a single line of 10 MB", std::string(10'000'000, 'x'), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rowsOf(readAndWritten(c.text)), overDefaults(c.rows)) << c.what;
}

// Reading sorts; only a score above the last row enters; sort exchanges rows, so equal scores may change order.
TEST(HighscoreRows, RowsAreSortedByExchangingAndOnlyABetterScoreReplacesTheLast)
{
    HighscoreRows list("Chaos Click", 10);
    EXPECT_EQ(textOf(list), ":);100\n:);90\n:);80\n:);70\n:);60\n:);50\n:);40\n:);30\n:);20\n:);10\n");
    EXPECT_FALSE(list.insert("Gleich", 10));
    EXPECT_TRUE(textOf(list).ends_with(":);20\n:);10\n"));
    EXPECT_TRUE(list.insert("Knapp", 11));
    EXPECT_TRUE(textOf(list).ends_with(":);20\nKnapp;11\n"));
    for (int32_t i : {10, -1, INT32_MAX, INT32_MIN})
        EXPECT_EQ(std::make_pair(list.name(i), list.score(i)), std::make_pair(std::string(), 0)) << i;

    HighscoreRows three("Drei", 3), five("F\xFCnf", 5);
    std::istringstream abc("A;50\nB;50\nC;60\n"), pabqr("P;100\nA;50\nB;50\nQ;40\nR;30\n");
    three.readFrom(abc);
    EXPECT_EQ(textOf(three), "C;60\nB;50\nA;50\n");
    five.readFrom(pabqr);
    EXPECT_TRUE(five.insert("N", 60));
    EXPECT_EQ(textOf(five), "P;100\nN;60\nB;50\nA;50\nQ;40\n");
    EXPECT_EQ(std::make_tuple(five.title(), five.capacity(), HighscoreRows("Leer", 0).qualifies(INT32_MAX)),
              std::make_tuple(std::string("F\xFCnf"), 5, false));
}
