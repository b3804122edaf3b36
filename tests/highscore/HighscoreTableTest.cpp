#include <gtest/gtest.h>

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

Rows defaultRows(int32_t capacity)
{
    Rows rows;
    for (int32_t i = 0; i < capacity; ++i)
        rows.emplace_back(":)", (capacity - i) * 10);
    return rows;
}

// A table whose file does not exist, in a folder of its own that it may write on destruction.
class HighscoreRows : public ::testing::Test {
protected:
    std::unique_ptr<HighscoreTable> makeTable(int32_t capacity)
    {
        return std::make_unique<HighscoreTable>("Chaos Click", "Data/var2.hsc", capacity);
    }
    void read(HighscoreTable& table, const std::string& text)
    {
        std::istringstream in(text);
        table.readFrom(in);
    }
    std::string written(const HighscoreTable& table)
    {
        std::ostringstream out;
        table.writeTo(out);
        return out.str();
    }
    void setRows(HighscoreTable& table, const Rows& rows)
    {
        ASSERT_EQ(rows.size(), table.entries.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            table.entries[i] = {rows[i].first, rows[i].second};
    }

    testing_support::TempDataDir dir{std::vector<std::string>{}};
};

struct LineCase {
    const char* what;
    std::string text;
    Rows firstRows;  // the rows the text gives, before sorting
};

const LineCase lineCases[] = {
    {"a lone ';' is an empty name with 0", ";\n", {{"", 0}}},
    {"letters after the digits are ignored", "Abc;12xy3\n", {{"Abc", 12}}},
    {"no digits give 0", "Abc;xyz\n", {{"Abc", 0}}},
    {"two ';' split at the first", "Abc;x;5\nDef;7;5\n", {{"Abc", 0}, {"Def", 7}}},
    {"a negative score keeps its sign", "Neg;-40\n", {{"Neg", -40}}},
    {"CR LF ends a line like LF", "Abc;4120\r\nXyz;2975\r\n;45\r\n", {{"Abc", 4120}, {"Xyz", 2975}, {"", 45}}},
    {"white space and a sign lead the number", "A; \t+17\nB;\v\f -3\nC;- 3\nD;+-3\n",
     {{"A", 17}, {"B", -3}, {"C", 0}, {"D", 0}}},
    {"a line without ';' is the default row of its place", "Abc 50\nXyz;20\n", {{":)", 100}, {"Xyz", 20}}},
    {"an empty line is the default row of its place", "A;1\n\nB;2\n", {{"A", 1}, {":)", 90}, {"B", 2}}},
    {"the last line may lack its LF", "A;1\nB;2", {{"A", 1}, {"B", 2}, {":)", 80}}},
    {"a name keeps spaces, Latin-1 and NUL bytes", std::string("J\xFCrgen M\0x;5\n", 12), {{std::string("J\xFCrgen M\0x", 10), 5}}},
    {"scores at the ends of 32 bits are exact", "Max;2147483647\nMin;-2147483648\n", {{"Max", Max}, {"Min", Min}}},
    {"a score beyond 32 bits sticks at the nearest limit",
     "A;2147483648\nB;-2147483649\nC;99999999999999999999999999\nD;-99999999999999999999999999\n",
     {{"A", Max}, {"B", Min}, {"C", Max}, {"D", Min}}},
};

TEST_F(HighscoreRows, EachLineIsReadAsNameAndTheNumberAtoiWouldRead)
{
    auto table = makeTable(10);
    for (const auto& c : lineCases) {
        read(*table, c.text);
        const Rows rows = rowsOf(*table);
        for (std::size_t i = 0; i < c.firstRows.size(); ++i)
            EXPECT_EQ(rows[i], c.firstRows[i]) << c.what << ", row " << i;
        EXPECT_EQ(rows.back(), (std::pair<std::string, int32_t>{":)", 10})) << c.what;
    }
}

TEST_F(HighscoreRows, OnlyAsManyLinesAsRowsAreRead)
{
    auto table = makeTable(3);
    read(*table, "A;1\nB;2\nC;3\nD;400\nE;500\n");
    EXPECT_EQ(rowsOf(*table), (Rows{{"A", 1}, {"B", 2}, {"C", 3}}));
}

TEST_F(HighscoreRows, EmptyInputGivesDefaultRows)
{
    auto table = makeTable(10);
    read(*table, "");
    EXPECT_EQ(rowsOf(*table), defaultRows(10));
}

TEST_F(HighscoreRows, PartOfALineBeyondTheLimitIsSkippedUpToItsEnd)
{
    auto table = makeTable(4);
    // The ';' lies beyond what is kept of the first line, so it is a line without one.
    read(*table, std::string(HighscoreLineLimit, 'a') + ";5\nB;7\n");
    EXPECT_EQ(rowsOf(*table), (Rows{{":)", 40}, {"B", 7}, {":)", 20}, {":)", 10}}));

    const std::string longName(65000, 'n');
    read(*table, longName + ";42" + std::string(10'000'000, 'x') + "\nB;7\n");
    EXPECT_EQ(rowsOf(*table), (Rows{{longName, 42}, {"B", 7}, {":)", 20}, {":)", 10}}));
}

TEST_F(HighscoreRows, TenMegabyteLineWithoutLineEndGivesDefaultRows)
{
    auto table = makeTable(10);
    read(*table, std::string(10'000'000, 'x'));
    EXPECT_EQ(rowsOf(*table), defaultRows(10));
}

TEST_F(HighscoreRows, EveryRowIsWrittenAsNameSemicolonScore)
{
    auto table = makeTable(4);
    EXPECT_EQ(written(*table), ":);40\n:);30\n:);20\n:);10\n");
    setRows(*table, {{"Abc", 4120}, {"", 0}, {"J\xFCrgen", -7}, {"x y", Min}});
    EXPECT_EQ(written(*table), "Abc;4120\n;0\nJ\xFCrgen;-7\nx y;-2147483648\n");
}

TEST_F(HighscoreRows, SortMovesTheFirstOfEqualScoresBehindTheOther)
{
    auto table = makeTable(3);
    setRows(*table, {{"A", 50}, {"B", 50}, {"C", 60}});
    table->sort();
    EXPECT_EQ(rowsOf(*table), (Rows{{"C", 60}, {"B", 50}, {"A", 50}}));
}

TEST_F(HighscoreRows, InsertPlacesTheNewRowAfterEqualScoresAndMayExchangeThoseBelow)
{
    auto table = makeTable(5);
    setRows(*table, {{"P", 100}, {"A", 50}, {"B", 50}, {"Q", 40}, {"R", 30}});
    EXPECT_TRUE(table->insert("N", 60));
    EXPECT_EQ(rowsOf(*table), (Rows{{"P", 100}, {"N", 60}, {"B", 50}, {"A", 50}, {"Q", 40}}));

    EXPECT_TRUE(table->insert("E", 50));
    EXPECT_EQ(rowsOf(*table), (Rows{{"P", 100}, {"N", 60}, {"B", 50}, {"A", 50}, {"E", 50}}));
}

TEST_F(HighscoreRows, ScoreEqualToTheLastRowNeitherQualifiesNorEnters)
{
    auto table = makeTable(10);
    EXPECT_FALSE(table->qualifies(10));
    EXPECT_FALSE(table->insert("Gleich", 10));
    EXPECT_EQ(rowsOf(*table), defaultRows(10));

    setRows(*table, Rows(10, {"Tief", Min}));
    EXPECT_FALSE(table->qualifies(Min));
    EXPECT_FALSE(table->insert("Tiefer", Min));
    EXPECT_EQ(rowsOf(*table), Rows(10, {"Tief", Min}));
}

TEST_F(HighscoreRows, ScoreOneAboveTheLastRowReplacesItAndIsSortedIn)
{
    auto table = makeTable(10);
    EXPECT_TRUE(table->qualifies(11));
    EXPECT_TRUE(table->insert("Knapp", 11));
    Rows expected = defaultRows(10);
    expected.back() = {"Knapp", 11};
    EXPECT_EQ(rowsOf(*table), expected);

    EXPECT_TRUE(table->insert("Gut", 95));
    expected = {{":)", 100}, {"Gut", 95}, {":)", 90}, {":)", 80}, {":)", 70},
                {":)", 60},  {":)", 50},  {":)", 40}, {":)", 30}, {":)", 20}};
    EXPECT_EQ(rowsOf(*table), expected);
}

TEST_F(HighscoreRows, RowsOutsideTheTableHaveNoNameAndScoreZero)
{
    auto table = makeTable(10);
    for (int32_t i : {10, -1, 11, Max, Min}) {
        EXPECT_EQ(table->score(i), 0) << i;
        EXPECT_EQ(table->name(i), "") << i;
    }
    EXPECT_EQ(table->score(9), 10);
    EXPECT_EQ(table->name(0), ":)");
}

std::string randomName(std::mt19937& random)
{
    std::uniform_int_distribution<int> length(0, 30), byte(32, 255);
    std::string name;
    for (int n = length(random); n > 0; --n) {
        char c = static_cast<char>(byte(random));
        name.push_back(c == ';' ? ':' : c);
    }
    return name;
}

TEST_F(HighscoreRows, RandomTablesReadBackAsWritten)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int32_t> score(Min, Max);
    auto written = makeTable(10);
    auto readBack = makeTable(10);
    for (int round = 0; round < 300; ++round) {
        for (auto& row : written->entries)
            row = {randomName(random), score(random)};
        read(*readBack, this->written(*written));
        ASSERT_EQ(rowsOf(*readBack), rowsOf(*written)) << "round " << round;
    }
}

// Bytes that matter to the format come often, so that the odd cases are hit.
std::string randomGarbage(std::mt19937& random)
{
    static const std::string special{"\n\n;;\r-+ 0123456789\0\t", 20};
    std::uniform_int_distribution<int> length(0, 3000), kind(0, 2), anyByte(0, 255);
    std::uniform_int_distribution<std::size_t> pick(0, special.size() - 1);
    std::string text;
    for (int n = length(random); n > 0; --n)
        text.push_back(kind(random) == 0 ? special[pick(random)] : static_cast<char>(anyByte(random)));
    return text;
}

TEST_F(HighscoreRows, GarbageGivesTenRowsThatReadBackUnchanged)
{
    std::mt19937 random(77);
    auto table = makeTable(10);
    auto again = makeTable(10);
    for (int round = 0; round < 500; ++round) {
        read(*table, randomGarbage(random));
        ASSERT_EQ(table->entries.size(), 10u);
        for (const auto& row : table->entries)
            EXPECT_EQ(row.name.find_first_of(";\n"), std::string::npos) << "round " << round;
        read(*again, written(*table));
        ASSERT_EQ(rowsOf(*again), rowsOf(*table)) << "round " << round;
    }
}

}  // namespace
