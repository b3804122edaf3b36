#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "highscore/HighscoreTable.h"

namespace {

using Rows = std::vector<std::pair<std::string, int32_t>>;
constexpr int32_t Max = std::numeric_limits<int32_t>::max();
constexpr int32_t Min = std::numeric_limits<int32_t>::min();

Rows rowsOf(const HighscoreTable& table)
{
    Rows rows;
    for (const auto& row : table.entries)
        rows.emplace_back(row.name, row.score);
    return rows;
}

// The given rows over ":)" with 100, 90, ..., 10.
Rows defaultRowsUnder(const Rows& first)
{
    Rows rows;
    for (int32_t i = 0; i < 10; ++i)
        rows.emplace_back(":)", 100 - 10 * i);
    std::copy(first.begin(), first.end(), rows.begin());
    return rows;
}

void setRows(HighscoreTable& table, const Rows& rows)
{
    for (std::size_t i = 0; i < rows.size(); ++i)
        table.entries.at(i) = {rows[i].first, rows[i].second};
}

class HighscoreRows : public testing::Test {
protected:
    testing_support::TempDataDir dir{std::vector<std::string>{}};
    HighscoreTable table{"Chaos Click", "Data/var2.hsc", 10};
};

}  // namespace

TEST_F(HighscoreRows, EachLineIsReadAsNameAndTheNumberAtoiWouldRead)
{
    const std::string longName(65000, 'n');
    const struct {
        const char* what;
        std::string text;
        Rows firstRows;  // before sorting; the rest are default rows
    } cases[] = {
        {"an empty file", "", {}},
        {"a lone ';' is an empty name with 0", ";\n", {{"", 0}}},
        {"letters after the digits are ignored", "Abc;12xy3\n", {{"Abc", 12}}},
        {"two ';' split at the first", "Abc;x;5\nDef;7;5\n", {{"Abc", 0}, {"Def", 7}}},
        {"a negative score keeps its sign", "Neg;-40\n", {{"Neg", -40}}},
        {"CR LF ends a line like LF", "Abc;4120\r\nXyz;2975\r\n;45\r\n", {{"Abc", 4120}, {"Xyz", 2975}, {"", 45}}},
        {"white space and one sign lead the number", "A; \t+17\nB;\v\f -3\nC;- 3\nD;+-3\n",
         {{"A", 17}, {"B", -3}, {"C", 0}, {"D", 0}}},
        {"a line without ';' and an empty line are default rows", "Abc 50\n\nXyz;20\n", {{":)", 100}, {":)", 90}, {"Xyz", 20}}},
        {"the last line may lack its LF", "A;1\nB;2", {{"A", 1}, {"B", 2}}},
        {"lines after the tenth are not read", std::string(10, '\n') + "L;11\n", {}},
        {"a name keeps spaces, Latin-1 and NUL bytes", std::string("J\xFCrgen M\0x;5\n", 12), {{std::string("J\xFCrgen M\0x", 10), 5}}},
        // Beyond 32 bits atoi is undefined; the score sticks at the nearest limit instead.
        {"scores at and beyond the ends of 32 bits",
         "Max;2147483647\nMin;-2147483648\nA;2147483648\nB;-2147483649\nC;99999999999999999999999\n",
         {{"Max", Max}, {"Min", Min}, {"A", Max}, {"B", Min}, {"C", Max}}},
        // A line is kept up to the limit: a ';' beyond it is not seen, the rest is skipped.
        {"a ';' beyond the line limit", std::string(HighscoreLineLimit, 'a') + ";5\nB;7\n", {{":)", 100}, {"B", 7}}},
        {"a 10 MB tail after the score", longName + ";42" + std::string(10'000'000, 'x') + "\nB;7\n", {{longName, 42}, {"B", 7}}},
        {"a single line of 10 MB", std::string(10'000'000, 'x'), {}},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        table.readFrom(in);
        EXPECT_EQ(rowsOf(table), defaultRowsUnder(c.firstRows)) << c.what;
    }
}

TEST_F(HighscoreRows, SortExchangesRowsSoEqualScoresMayChangeTheirOrder)
{
    HighscoreTable three("Drei", "Data/drei.hsc", 3);
    setRows(three, {{"A", 50}, {"B", 50}, {"C", 60}});
    three.sort();
    EXPECT_EQ(rowsOf(three), (Rows{{"C", 60}, {"B", 50}, {"A", 50}}));

    HighscoreTable five("F\xFCnf", "Data/fuenf.hsc", 5);
    setRows(five, {{"P", 100}, {"A", 50}, {"B", 50}, {"Q", 40}, {"R", 30}});
    EXPECT_TRUE(five.insert("N", 60));
    EXPECT_EQ(rowsOf(five), (Rows{{"P", 100}, {"N", 60}, {"B", 50}, {"A", 50}, {"Q", 40}}));
    EXPECT_TRUE(five.insert("E", 50));
    EXPECT_EQ(rowsOf(five), (Rows{{"P", 100}, {"N", 60}, {"B", 50}, {"A", 50}, {"E", 50}}));
}

TEST_F(HighscoreRows, OnlyAScoreAboveTheLastRowEntersAndRowsOutsideTheTableAreEmpty)
{
    EXPECT_FALSE(table.qualifies(10));
    EXPECT_FALSE(table.insert("Gleich", 10));
    EXPECT_EQ(rowsOf(table), defaultRowsUnder({}));
    EXPECT_TRUE(table.qualifies(11));
    EXPECT_TRUE(table.insert("Knapp", 11));
    Rows expected = defaultRowsUnder({});
    expected.back() = {"Knapp", 11};
    EXPECT_EQ(rowsOf(table), expected);

    for (int32_t i : {10, -1, Max, Min}) {
        EXPECT_EQ(table.score(i), 0) << i;
        EXPECT_EQ(table.name(i), "") << i;
    }
}
