// The variants' rules through worked examples: Standart's level time and bonus, Chaos's gravity and
// bonus, Speed's drain, scoring, boards and corners, FallDown's feeder, settling, boards and end.
#include <gtest/gtest.h>

#include "BoardText.h"
#include "ScriptedRandom.h"
#include "variants/rules/ChaosRules.h"
#include "variants/rules/FallDownRules.h"
#include "variants/rules/SpeedRules.h"
#include "variants/rules/StandardRules.h"

using namespace testing_support;

namespace {

using Rows = std::vector<std::string_view>;

CellAtPixel cell(int column, int row) { return cellAtPixel(column * TileSize, row * TileSize); }

// FallDown's feeder row over the rows at the bottom.
Board topAndBottom(std::string_view top, const Rows& bottom)
{
    Board board = boardFromBottomRows(bottom);
    for (size_t column = 0; column < top.size(); ++column)
        board.at(int(column), 0) = cellFromChar(top[column]);
    return board;
}

}  // namespace

// At level 3 an empty cell is no click, the first tile click starts the clock, a pair pays 4, and the 2s
// it brings together end the level: 8 points in 3 clicks, (2 - 0 %)^3 over 7 s. A click beside level 4's
// board without a move ends it in no time.
TEST(StandardRules, LevelTimeRunsFromTheFirstTileClickAndDividesTheBonus)
{
    StandardRules rules;
    rules.level = 3;
    rules.board = boardFromBottomRows({"1...", "2332"});
    rules.click(cell(1, 16), 1000);
    rules.click(cell(0, 16), 2000);
    rules.click(cell(1, 17), 5000);
    rules.click(cell(1, 17), 9000);
    EXPECT_EQ(std::tuple(rules.levelClicks, rules.levelPoints, rules.levelSeconds, rules.levelBonus),
              std::tuple(3, 8, 7, 1));
    ScriptedRandom random;
    rules.continueAfterLevel(random);
    rules.board = boardFromBottomRows({"12"});
    rules.click(cell(3, 18), 68000);
    EXPECT_EQ(rules.levelSeconds, 0);
}

// Every click into the board draws the point of gravity, the row before the column (40 % 18, 61 % 25), and
// the tiles gather there. Four colours pay 5 a tile. The last pair ends the game with a bonus of (points
// per click - % tiles left)^3 over the whole seconds, at least 0: the 9 tiles left are 2 %.
TEST(ChaosRules, EachClickMovesGravityAndTheLastMoveEndsWithABonus)
{
    const Rows five = {".1.....", ".1....3", "2111..3"};
    const Rows last = {"11", "232323232"};
    const struct {
        const Rows& rows;
        int16_t points;
        int column;
        int row;
        uint32_t seconds;
        int pointsAfter;
        int finalScore;
    } cases[] = {
        {five, 895, 2, 17, 0, 915, 0},
        // an empty cell: a click into the board all the same
        {five, 895, 10, 3, 0, 895, 0},
        // 900 + (15 - 2)^3 / 120; 1 - 2 is below 0
        {last, 895, 0, 16, 120, 900, 918},
        {last, 55, 0, 16, 120, 60, 60},
    };
    for (const auto& c : cases) {
        ChaosRules rules;
        rules.colourCount = 4;
        rules.board = boardFromBottomRows(c.rows);
        rules.clicks = 59;
        rules.points = c.points;
        rules.clock.startTicks = 1;
        ScriptedRandom random{40, 61};
        rules.click(cell(c.column, c.row), c.seconds * 1000 + 1, random);
        EXPECT_EQ(std::tuple(rules.points, rules.finalScore, rules.gravity.row, rules.gravity.column),
                  std::tuple(c.pointsAfter, c.finalScore, 4, 11));
    }
}

// One click (column -1: a tick) after `seconds` on the running clock. A group pays colours -
// difficulty - 1 a tile; the last pair brings a board of one colour more and the points of the difficulty,
// or wins after the seventh.
TEST(SpeedRules, TicksDrainGroupsPayAndTheLastPairDealsOrEnds)
{
    const Rows group = {"1...3..", "111.3.2"};
    const Rows pair = {"3..", "411"};
    const struct {
        int16_t difficulty;
        int16_t colours;
        int16_t points;
        const Rows& rows;
        int column;
        int row;
        uint32_t seconds;
        int pointsAfter;
        int finalScore;
    } cases[] = {
        // Leicht drains 5: lost with 4 s + 3 * 100
        {0, 3, 3, group, -1, 18, 4, -2, 304},
        // (4 - 1 - 1) * 1, then 40 for the next board
        {1, 4, 100, pair, 1, 17, 0, 142, 0},
        // won: 200 s + 8 * 3 * 100 + 150 + 2000; a lone tile costs twice the drain: lost, 100 s + 4 * 2 * 100
        {2, 7, 146, pair, 1, 17, 200, 150, 4750},
        {1, 4, 5, group, 6, 17, 100, -1, 900},
    };
    for (const auto& c : cases) {
        ScriptedRandom random;
        SpeedRules rules;
        rules.start(c.difficulty, random);
        rules.board = boardFromBottomRows(c.rows);
        rules.colourCount = c.colours;
        rules.points = c.points;
        rules.clock.startTicks = 1;
        if (c.column < 0)
            rules.tick(c.seconds * 1000 + 1);
        else
            rules.click(cell(c.column, c.row), c.seconds * 1000 + 1, random);
        EXPECT_EQ(std::tuple(rules.points, rules.finalScore), std::tuple(c.pointsAfter, c.finalScore));
    }
}

TEST(SpeedRules, ThereAreThreeDifficulties)
{
    EXPECT_DEATH(SpeedRules::settingsOf(3), "Assertion");
}

// The tenth tile click since the start, not the ninth, draws a corner (the next number % 4; 2: top right),
// and its own collapse already gathers the tiles there.
TEST(SpeedRules, EveryTenthTileClickDrawsACorner)
{
    ScriptedRandom random;
    SpeedRules rules;
    rules.start(2, random);
    rules.board = boardFromBottomRows({"...3", "1123"});
    random = {6};
    for (int click = 0; click < 9; ++click)
        rules.click(cell(2, 17), 1000, random);
    EXPECT_EQ(random.drawn, 0);
    rules.click(cell(0, 17), 1000, random);
    EXPECT_EQ(rules.board.at(24, 0), 3);
}

// Gravity at the bottom left. While the clock runs a lone tile or an empty cell is a feeding step: the
// number `colours` gives 1, the 26th lets the top row fall. A top cell fed in this cycle hangs, an older
// one falls. Seven boards win; a feed onto a tile loses. No board after: the next board was dealt.
TEST(FallDownRules, ClicksFeedSettleDealWinOrLose)
{
    const struct {
        std::string_view top;
        Rows bottom;
        int16_t colours;
        int16_t refillColumn;
        int column;
        int row;
        int finalScore;
        std::string_view topAfter;
        Rows after;
    } cases[] = {
        {"", {"1244"}, 4, 0, 0, 17, 0, "1", {"1244"}},
        {"1", {"1244"}, 4, 25, 6, 9, 0, "", {"1", "1244"}},
        {".4.3", {"11", "2323"}, 4, 2, 0, 16, 0, ".4", {"...3", "2323"}},
        {"", {"2113"}, 5, 9, 1, 17, 0, "", {}},
        // won with 1 + 5 * 200 + 20 s + 3000; lost with 4 * 200 + 20 s
        {"", {"2113"}, 7, 9, 1, 17, 4021, "", {"23"}},
        {"5", {"2.3"}, 7, 0, 0, 17, 820, "5", {"2.3"}},
    };
    for (const auto& c : cases) {
        FallDownRules rules;
        rules.board = topAndBottom(c.top, c.bottom);
        rules.colourCount = c.colours;
        rules.refillColumn = c.refillColumn;
        rules.clock.startTicks = 1000;
        ScriptedRandom random{c.colours};
        rules.click(cell(c.column, c.row), 21000, random);
        EXPECT_EQ(rules.finalScore, c.finalScore);
        if (c.after.empty())
            EXPECT_EQ(rules.board.at(0, 3), 6);
        else
            EXPECT_EQ(boardText(rules.board), boardText(topAndBottom(c.topAfter, c.after)));
    }
}
