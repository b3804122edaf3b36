#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
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

// ":)" with 100, 90, ..., 10 for ten rows, then the given rows over the first ones.
Rows defaultRowsUnder(const Rows& first, int32_t capacity = 10)
{
    Rows rows;
    for (int32_t i = 0; i < capacity; ++i)
        rows.emplace_back(":)", (capacity - i) * 10);
    std::copy(first.begin(), first.end(), rows.begin());
    return rows;
}

// Tables whose file ("Data/var2.hsc") does not exist, in a folder of their own.
class HighscoreRows : public ::testing::Test {
protected:
    HighscoreTable& table(int32_t capacity = 10)
    {
        tables.push_back(std::make_unique<HighscoreTable>("Chaos Click", "Data/var2.hsc", capacity));
        return *tables.back();
    }
    static void read(HighscoreTable& table, const std::string& text)
    {
        std::istringstream in(text);
        table.readFrom(in);
    }
    static void setRows(HighscoreTable& table, const Rows& rows)
    {
        for (std::size_t i = 0; i < rows.size(); ++i)
            table.entries.at(i) = {rows[i].first, rows[i].second};
    }

    testing_support::TempDataDir dir{std::vector<std::string>{}};
    std::vector<std::unique_ptr<HighscoreTable>> tables;
};

TEST_F(HighscoreRows, EachLineIsReadAsNameAndTheNumberAtoiWouldRead)
{
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
        {"white space and a sign lead the number", "A; \t+17\nB;\v\f -3\nC;- 3\nD;+-3\n",
         {{"A", 17}, {"B", -3}, {"C", 0}, {"D", 0}}},
        {"a line without ';' and an empty line are default rows", "Abc 50\n\nXyz;20\n", {{":)", 100}, {":)", 90}, {"Xyz", 20}}},
        {"the last line may lack its LF", "A;1\nB;2", {{"A", 1}, {"B", 2}}},
        {"a name keeps spaces, Latin-1 and NUL bytes", std::string("J\xFCrgen M\0x;5\n", 12),
         {{std::string("J\xFCrgen M\0x", 10), 5}}},
        // Beyond 32 bits atoi is undefined; the score sticks at the nearest limit instead.
        {"scores at and beyond the ends of 32 bits",
         "Max;2147483647\nMin;-2147483648\nA;2147483648\nB;-2147483649\nC;99999999999999999999999999\n"
         "D;-99999999999999999999999999\n",
         {{"Max", Max}, {"Min", Min}, {"A", Max}, {"B", Min}, {"C", Max}, {"D", Min}}},
    };
    HighscoreTable& rows = table();
    for (const auto& c : cases) {
        read(rows, c.text);
        EXPECT_EQ(rowsOf(rows), defaultRowsUnder(c.firstRows)) << c.what;
    }
}

TEST_F(HighscoreRows, LineBeyondTheLimitIsKeptUpToItAndSkippedUpToItsEnd)
{
    HighscoreTable& rows = table(4);
    // The ';' lies beyond what is kept of the first line, so it is a line without one.
    read(rows, std::string(HighscoreLineLimit, 'a') + ";5\nB;7\n");
    EXPECT_EQ(rowsOf(rows), defaultRowsUnder({{":)", 40}, {"B", 7}}, 4));

    const std::string longName(65000, 'n');
    read(rows, longName + ";42" + std::string(10'000'000, 'x') + "\nB;7\n");
    EXPECT_EQ(rowsOf(rows), defaultRowsUnder({{longName, 42}, {"B", 7}}, 4));

    read(rows, std::string(10'000'000, 'x'));
    EXPECT_EQ(rowsOf(rows), defaultRowsUnder({}, 4));
}

TEST_F(HighscoreRows, SortExchangesRowsSoEqualScoresMayChangeTheirOrder)
{
    HighscoreTable& three = table(3);
    setRows(three, {{"A", 50}, {"B", 50}, {"C", 60}});
    three.sort();
    EXPECT_EQ(rowsOf(three), (Rows{{"C", 60}, {"B", 50}, {"A", 50}}));

    HighscoreTable& five = table(5);
    setRows(five, {{"P", 100}, {"A", 50}, {"B", 50}, {"Q", 40}, {"R", 30}});
    EXPECT_TRUE(five.insert("N", 60));
    EXPECT_EQ(rowsOf(five), (Rows{{"P", 100}, {"N", 60}, {"B", 50}, {"A", 50}, {"Q", 40}}));
    EXPECT_TRUE(five.insert("E", 50));
    EXPECT_EQ(rowsOf(five), (Rows{{"P", 100}, {"N", 60}, {"B", 50}, {"A", 50}, {"E", 50}}));
}

TEST_F(HighscoreRows, OnlyAScoreAboveTheLastRowEntersAndReplacesIt)
{
    HighscoreTable& rows = table();
    EXPECT_FALSE(rows.qualifies(10));
    EXPECT_FALSE(rows.insert("Gleich", 10));
    EXPECT_EQ(rowsOf(rows), defaultRowsUnder({}));

    EXPECT_TRUE(rows.qualifies(11));
    EXPECT_TRUE(rows.insert("Knapp", 11));
    Rows expected = defaultRowsUnder({});
    expected.back() = {"Knapp", 11};
    EXPECT_EQ(rowsOf(rows), expected);
}

TEST_F(HighscoreRows, RowsOutsideTheTableHaveNoNameAndScoreZero)
{
    const HighscoreTable& rows = table();
    for (int32_t i : {10, -1, Max, Min}) {
        EXPECT_EQ(rows.score(i), 0) << i;
        EXPECT_EQ(rows.name(i), "") << i;
    }
    EXPECT_EQ(rows.score(9), 10);
}

// Bytes that matter to the format come often, so that the odd cases are hit.
std::string randomGarbage(std::mt19937& random)
{
    static const std::string special{"\n\n;;\r-+ 0123456789\0\t", 20};
    std::string text;
    for (auto n = random() % 3000; n > 0; --n)
        text.push_back(random() % 3 == 0 ? special[random() % special.size()] : char(random()));
    return text;
}

TEST_F(HighscoreRows, GarbageGivesTenRowsThatReadBackUnchanged)
{
    std::mt19937 random(77);
    HighscoreTable& rows = table();
    HighscoreTable& again = table();
    for (int round = 0; round < 200; ++round) {
        read(rows, randomGarbage(random));
        ASSERT_EQ(rows.entries.size(), 10u);
        std::ostringstream written;
        rows.writeTo(written);
        read(again, written.str());
        ASSERT_EQ(rowsOf(again), rowsOf(rows)) << "round " << round;
    }
}

}  // namespace
