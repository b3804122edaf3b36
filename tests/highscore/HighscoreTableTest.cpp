#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <tuple>

#include "../game/BareGame.h"
#include "TestSupport.h"
#include "highscore/HighscoreScreens.h"
#include "highscore/HighscoreTable.h"

namespace {

std::string textOf(const HighscoreTable& table)
{
    std::ostringstream out;
    table.writeTo(out);
    return out.str();
}

// The given rows over the default rows ":)" with 100, 90, ..., 10.
std::string overDefaults(std::string rows)
{
    for (auto row = std::count(rows.begin(), rows.end(), '\n'); row < 10; ++row)
        rows += ":);" + std::to_string(100 - 10 * row) + "\n";
    return rows;
}

using Placed = std::tuple<std::string, int32_t, int32_t, TextAlign, int32_t>;  // text, x, y, align, size

class Highscores : public testing::Test {
protected:
    std::vector<Placed> placed() const
    {
        std::vector<Placed> result;
        for (const auto& t : recorder.texts)
            result.emplace_back(t.text, t.x, t.y, t.align, t.size);
        return result;
    }

    testing_support::TempDataDir dir{{"boulder.ttf"}};
    testing_support::DummyScreen screen;
    testing_support::TextRecorder recorder;
    HighscoreTable table{"Chaos Click", "Data/var2.hsc", 10};  // no file: the default rows
};

}  // namespace

TEST_F(Highscores, EachLineIsReadAsNameAndTheNumberAtoiWouldRead)
{
    const std::string longName(65000, 'n'), nul("\0J\xFCrgen M\0x;5\n", 14);
    const struct {
        const char* what;
        std::string text, firstRows;  // before sorting
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
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        table.readFrom(in);
        EXPECT_EQ(textOf(table), overDefaults(c.firstRows)) << c.what;
    }
}

// Only a score above the last row enters; sort exchanges rows, so equal scores may change order.
TEST_F(Highscores, InsertReplacesTheLastRowOnlyWhenBetterAndSortsByExchanging)
{
    EXPECT_FALSE(table.insert("Gleich", 10));
    EXPECT_EQ(textOf(table), overDefaults(""));
    EXPECT_TRUE(table.insert("Knapp", 11));
    EXPECT_TRUE(textOf(table).ends_with(":);20\nKnapp;11\n"));
    for (int32_t i : {10, -1, INT32_MAX, INT32_MIN})
        EXPECT_EQ(std::make_pair(table.name(i), table.score(i)), std::make_pair(std::string(), 0)) << i;

    HighscoreTable three("Drei", "Data/drei.hsc", 3), five("F\xFCnf", "Data/fuenf.hsc", 5);
    three.entries = {{"A", 50}, {"B", 50}, {"C", 60}};
    three.sort();
    EXPECT_EQ(textOf(three), "C;60\nB;50\nA;50\n");
    five.entries = {{"P", 100}, {"A", 50}, {"B", 50}, {"Q", 40}, {"R", 30}};
    EXPECT_TRUE(five.insert("N", 60));
    EXPECT_EQ(textOf(five), "P;100\nN;60\nB;50\nA;50\nQ;40\n");
}

// Names from a damaged list show up to their first NUL byte; rows beyond the table show their place and 0.
TEST_F(Highscores, TheListShowsPlaceNameAndScoreOfEveryRowUnderTheTitle)
{
    dir.writeFile("Data/var3.hsc", std::string(";45\nAbc;60\n\0Anna;50\nBe\0rt;40\n", 30));
    drawHighscoreScreen(HighscoreTable("Speed Click", "Data/var3.hsc", 5));
    const char* rows[10][2] = {{"Abc", "60"}, {"", "50"}, {"", "45"}, {"Be", "40"}, {":)", "10"}};
    std::vector<Placed> expected = {{"Highscore von Speed Click", 0, 10, TextAlign::Center, 30}};
    for (int32_t i = 0, y = 70; i < 10; ++i, y += 50) {
        expected.emplace_back(std::to_string(i + 1), 110, y, TextAlign::Center, 35);
        if (rows[i][0] && *rows[i][0])
            expected.emplace_back(rows[i][0], 0, y, TextAlign::Center, 35);
        expected.emplace_back(rows[i][1] ? rows[i][1] : "0", 700, y, TextAlign::Right, 35);
    }
    EXPECT_EQ(placed(), expected);
}

// Only a name too wide for the window is cut, to its end.
TEST_F(Highscores, NameEntryShowsItsLinesAndTheEndOfTheNameTypedSoFar)
{
    const std::string veryLong = std::string(5000, '.') + "WWWWWWWW";
    for (const auto& [score, name, shown] : {std::tuple<int32_t, std::string, std::string>{0, "", ""},
                                             {-5, "J\xFCrgen", "J\xFCrgen"}, {7, veryLong, keepEndWithin(veryLong, 35, 800)}}) {
        testing_support::BareGame game;
        game.finalScore = score;
        game.playerName = name;
        recorder.clear();
        game.drawNameEntryScreen();
        std::vector<Placed> expected = {{"Super!", 0, 10, TextAlign::Center, 50}};
        const std::string lines[] = {"Sie haben es in die", "Highscore geschafft.", "Sie haben " + std::to_string(score) + " Punkte",
                                     "Bitte geben sie ihren Namen ein:", shown};
        for (int32_t i = 0; i < 5; ++i)
            if (!lines[i].empty())
                expected.emplace_back(lines[i], 0, 70 + 50 * i, TextAlign::Center, 35);
        EXPECT_EQ(placed(), expected) << score;
        EXPECT_EQ(game.playerName, name);
    }
}
