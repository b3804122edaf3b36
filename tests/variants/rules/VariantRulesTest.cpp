// The variants' rules through worked examples: Standart's level bonus and level time, Chaos's gravity
// and bonus, Speed's drain, scoring and corners, FallDown's feeder, settling, boards and end.
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

// (points per click - % tiles left)^level over the whole seconds, at least 0; 45 tiles are left: 10 %.
TEST(StandardRules, LevelBonusRaisesTheDifferenceToTheLevelAndSharesItOutOverTheSeconds)
{
    const struct { int16_t level, points, clicks; uint32_t end; int bonus; } cases[] = {
        {2, 300, 20, 10000, 2},  // (15 - 10)^2 / 10
        {3, 15, 1, 999, 125},    // less than a second keeps the undivided 5^3
        {2, 210, 1, 0, 0},       // 200^2 wraps to a negative 16-bit value
        {4, 500, 0, 0, 0},       // no counted click (the counter wrapped to 0)
    };
    for (const auto& c : cases) {
        StandardRules rules;
        rules.level = c.level;
        rules.levelPoints = c.points;
        rules.levelClicks = c.clicks;
        rules.board = boardFromBottomRows({"11111111111111111111", "1111111111111111111111111"});
        rules.levelClockRunning = true;
        rules.finishLevel(c.end);
        EXPECT_EQ(rules.levelBonus, c.bonus);
    }
}

// An empty cell is no click; the first tile click starts the clock; a pair pays 2 at level 1, and the 2s it
// brings together end the level. Level 2 deals 3 colours from a fresh seed; a click beside a board without
// a move ends it, in no time; the share left relates to both levels.
TEST(StandardRules, LevelTimeRunsFromItsFirstClickOnATileAndTheTotalsAddUpTheLevels)
{
    StandardRules rules;
    rules.board = boardFromBottomRows({"1...", "2332"});
    rules.click(cell(1, 16), 1000);
    rules.click(cell(0, 16), 2000);
    rules.click(cell(1, 17), 5000);
    rules.click(cell(1, 17), 9000);
    EXPECT_EQ(std::tuple(rules.state, rules.levelClicks, rules.levelPoints, rules.levelSeconds),
              std::tuple(LevelResults, 3, 4, 7));
    ScriptedRandom random{2};
    rules.continueAfterLevel(random);
    EXPECT_EQ(std::tuple(rules.level, random.reseeds, rules.board.at(0, 0)), std::tuple(2, 1, 3));
    rules.board = boardFromBottomRows({"1212121212121212121212121", "2121212121212121212121212"});
    rules.click(cell(3, 18), 68000);
    EXPECT_EQ(std::tuple(rules.levelSeconds, rules.totalSeconds, rules.totalPercentLeft()), std::tuple(0, 7, 5));
}

// Every click into the board draws the point of gravity, the row before the column (40 % 18, 61 % 25), and
// the tiles gather there. Four colours pay 5 a tile. The last pair ends the game with a bonus of (points
// per click - % tiles left)^3 over the whole seconds, at least 0: the 9 tiles left are 2 %.
TEST(ChaosRules, EachClickIntoTheBoardMovesGravityAndTheLastMoveEndsWithABonus)
{
    const Rows five = {".1.....", ".1....3", "2111..3"}, last = {"11", "232323232"};
    const struct { const Rows& rows; int16_t clicks, points; int column, row, seconds, pointsAfter; bool moved;
                   int finalScore; } cases[] = {
        {five, 0, 0, 2, 17, 0, 20, true, 0},
        {five, 0, 0, 10, 3, 0, 0, true, 0},     // an empty cell
        {five, 0, 0, 3, 18, 0, 0, false, 0},    // below the board
        {last, 59, 895, 0, 16, 120, 900, true, 918},  // 900 + (15 - 2)^3 / 120
        {last, 59, 895, 0, 16, 0, 900, true, 3097},   // within the first second undivided
        {last, 59, 55, 0, 16, 120, 60, true, 60},     // 1 - 2 is below 0
    };
    for (const auto& c : cases) {
        ChaosRules rules;
        rules.colourCount = 4;
        rules.board = boardFromBottomRows(c.rows);
        rules.clicks = c.clicks;
        rules.points = c.points;
        rules.clock.startTicks = 1;
        ScriptedRandom random{40, 61};
        rules.click(cell(c.column, c.row), uint32_t(c.seconds * 1000 + 1), random);
        EXPECT_EQ(std::tuple(rules.points, rules.gravity == Gravity{4, 11}, rules.finalScore),
                  std::tuple(c.pointsAfter, c.moved, c.finalScore));
    }
}

// One click (column -1: a tick) on a clock run for `seconds` (0: not started). A group pays colours -
// difficulty - 1 a tile; the last pair deals the next board from the number colours after - 1, so its
// first tile shows its colour count, or wins after the seventh. A loss deals nothing.
TEST(SpeedRules, EachTickDrainsEachClickPaysTheLastPairDealsTheNextBoardWinsOrLoses)
{
    const Rows group = {"1...3..", "111.3.2"}, pair = {"3..", "411"}, none = {"12", "21"};
    const struct { int16_t difficulty, colours, points; const Rows& rows; int column, row, seconds;
                   int16_t pointsAfter, coloursAfter; int finalScore; } cases[] = {
        {0, 3, 3, group, -1, 18, 0, 3, 3, 0},         // a tick before the clock runs
        {0, 3, 3, group, -1, 18, 4, -2, 3, 304},      // Leicht drains 5: lost with 4 + 3 * 100
        {2, 7, 300, group, 2, 17, 0, 312, 7, 0},      // (7 - 2 - 1) * 3
        {1, 4, 100, pair, 1, 17, 0, 142, 5, 0},       // (4 - 1 - 1) * 1, then 40 for the next board
        {2, 7, 146, pair, 1, 17, 200, 150, 8, 4750},  // won: 200 + 8 * 3 * 100 + 150 + 2000
        {1, 4, 5, none, 0, 17, 100, -1, 4, 900},      // lost: 100 + 4 * 2 * 100, no points left, no win
    };
    for (const auto& c : cases) {
        ScriptedRandom random;
        SpeedRules rules;
        rules.start(c.difficulty, random);
        rules.board = boardFromBottomRows(c.rows);
        rules.colourCount = c.colours;
        rules.points = c.points;
        rules.clock.startTicks = c.seconds != 0 ? 1 : 0;
        random.numbers = {c.coloursAfter - 1};
        if (c.column < 0)
            rules.tick(uint32_t(c.seconds * 1000 + 1));
        else
            rules.click(cell(c.column, c.row), uint32_t(c.seconds * 1000 + 1), random);
        EXPECT_EQ(std::tuple(rules.points, rules.colourCount, rules.finalScore, rules.won(), rules.board.at(0, 0)),
                  std::tuple(c.pointsAfter, c.coloursAfter, c.finalScore, c.pointsAfter >= 0,
                             c.coloursAfter > c.colours && c.finalScore == 0 ? c.coloursAfter : 0));
    }
}

// The tenth tile click since the start, not the ninth, draws a corner (the next number % 4; 2: top right),
// and its own collapse already gathers the tiles there. A lone tile costs twice the drain.
TEST(SpeedRules, EveryTenthTileClickMovesGravityToARandomCorner)
{
    ScriptedRandom random;
    SpeedRules rules;
    rules.start(2, random);
    rules.board = boardFromBottomRows({"...3", "1123"});
    random = {6};
    for (int click = 0; click < 9; ++click)
        rules.click(cell(2, 17), 1000, random);
    EXPECT_EQ(std::tuple(rules.points, random.drawn), std::tuple(300 - 9 * 6, 0));
    rules.click(cell(0, 17), 1000, random);
    EXPECT_EQ(rules.board.at(24, 0), 3);
}

TEST(SpeedRules, ThereAreThreeDifficulties)
{
    EXPECT_DEATH(SpeedRules::settingsOf(3), "Assertion");
}

// A lone tile (the first starts the clock) or an empty cell once the clock runs is a feeding step: the
// number `colours` gives 1, the 26th lets the top row fall. A top cell fed in this cycle hangs, an older
// one falls. Seven boards win; a feed onto a tile loses. No board after: the next board was dealt.
TEST(FallDownRules, ClicksFeedSettleTheBoardDealTheNextWinOrLose)
{
    const std::string_view ones = "1111111111111111111111111", alternate = "2323232323232323232323232";
    const struct { std::string_view top; Rows bottom; int16_t colours, refillColumn; bool running;
                   int column, row; int16_t points; int finalScore; std::string_view topAfter; Rows after; } cases[] = {
        {"", {"1244"}, 4, 0, false, 0, 17, 0, 0, "1", {"1244"}},
        {"", {"1244"}, 4, 0, false, 6, 9, 0, 0, "", {"1244"}},
        {ones, {"1244"}, 4, 25, true, 6, 9, 0, 0, "", {"1111", "1244111111111111111111111"}},
        {".4.3", {"11", alternate}, 4, 2, true, 0, 16, 1, 0, ".4", {"...3", alternate}},
        {"", {"2113"}, 5, 9, true, 1, 17, 1, 0, "", {}},                           // dealt from 5: a 6 first
        {"", {"2113"}, 7, 9, true, 1, 17, 1, 4021, "", {"...........23"}},  // 1 + 5 * 200 + 20 + 3000
        {"5", {"2.3"}, 7, 0, true, 0, 17, 0, 820, "5", {"2.3"}},           // 4 * 200 + 20
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        FallDownRules rules;
        rules.board = topAndBottom(c.top, c.bottom);
        rules.gravity = {LastRow, 12};
        rules.colourCount = c.colours;
        rules.refillColumn = c.refillColumn;
        rules.clock.startTicks = c.running ? 1000 : 0;
        ScriptedRandom random{c.colours};
        rules.click(cell(c.column, c.row), 21000, random);
        EXPECT_EQ(std::tuple(rules.points, rules.finalScore, rules.won),
                  std::tuple(c.points, c.finalScore, c.finalScore > FallDownRules::WinBonus));
        if (c.after.empty())
            EXPECT_EQ(std::tuple(rules.colourCount, rules.board.at(0, 3)), std::tuple(6, 6));
        else
            EXPECT_EQ(boardText(rules.board), boardText(topAndBottom(c.topAfter, c.after)));
    }
}
