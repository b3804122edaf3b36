// Chaos Click's rules: gravity after each click into the board, the bonus.
#include <gtest/gtest.h>

#include "BoardText.h"
#include "ScriptedRandom.h"
#include "variants/rules/ChaosRules.h"

using namespace testing_support;

// The new point of gravity takes the next two random numbers, the row before the column: 40 % 18 and
// 61 % 25. A group of five 1s (lowest middle tile at column 2), a lone 2, a pair of 3s that survives.
TEST(ChaosRules, EveryClickIntoTheBoardMovesGravityButOneBesideItDoesNot)
{
    const Board start = boardFromBottomRows({".1.....", ".1....3", "2111..3"});
    const struct { int column, row, clicks, points, tilesLeft; } cases[] = {
        {2, 17, 1, 16, 3},  // a group of five with three colours: 4 * 4
        {10, 3, 0, 0, 8},   // an empty cell
        {0, 17, 1, 0, 8},   // a lone tile
        {3, 18, 0, 0, 8},   // below the board
        {-1, 17, 0, 0, 8},  // left of the window
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        ChaosRules rules;
        rules.colourCount = 3, rules.board = start;
        ScriptedRandom random{40, 61};
        const Removal removal = rules.click(cellAtPixel(c.column * TileSize, c.row * TileSize), 7000, random);
        EXPECT_EQ(std::make_tuple(int(rules.clicks), int(rules.points), rules.board.tileCount(), removal.removed),
                  std::make_tuple(c.clicks, c.points, c.tilesLeft, c.points / 4));
        EXPECT_EQ(rules.clock.startTicks, c.clicks != 0 ? 7000u : 0u) << "only a tile starts the clock";
        const bool onBoard = c.column >= 0 && c.row < BoardRows;
        EXPECT_EQ(std::make_pair(int(rules.gravity.row), int(rules.gravity.column)),
                  onBoard ? std::make_pair(4, 11) : std::make_pair(17, 0));
        EXPECT_TRUE(onBoard ? rules.board.at(11, 4) != 0 : random.drawn == 0 && rules.board == start)
            << "the tiles gather around the point of gravity; beside the board nothing moves";
    }
    ChaosRules dealt;  // the first point of gravity is a random one too, drawn before the board
    ScriptedRandom random{40, 61, 2};
    dealt.start(4, random);
    EXPECT_TRUE(dealt.gravity == (Gravity{4, 11}) && dealt.board[0] == 3 && random.drawn == 2 + BoardCells);
}

// The tiles are counted and the clock stopped as the game ends.
TEST(ChaosRules, BonusFollowsPointsPerClickTilesLeftColoursAndTime)
{
    const struct { int16_t points, clicks, tiles, colours; uint32_t start, end; int seconds, bonus; } cases[] = {
        {900, 60, 9, 4, 1000, 121000, 120, 18},  // (15 - 2)^3 / 120
        {60, 10, 45, 3, 1000, 6000, 5, 0},       // (6 - 10)^3 is negative
        {12, 2, 23, 3, 1000, 1900, 0, 1},        // within the first second: undivided
        {20, 10, 0, 4, 1000, 1900, 0, 8},        // 2 is raised: 2^3
        {12, 2, 23, 3, 0, 6000, 0, 1},           // a clock that never started has measured nothing
        {200, 10, 0, 5, 1000, 1900, 0, 28928},   // 20^4 keeps its low 16 bits
        {150, 10, 0, 5, 1000, 4000, 3, 0},       // 15^4 wraps to a negative number
        {500, 0, 0, 5, 1000, 5000, 4, 0},        // the click counter wrapped to 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        ChaosRules rules;
        rules.colourCount = c.colours, rules.points = c.points, rules.clicks = c.clicks, rules.clock = {c.start};
        for (int i = 0; i < c.tiles; ++i)
            rules.board[i] = 1;
        rules.finishGame(c.end);
        EXPECT_EQ(std::make_tuple(rules.state, int(rules.bonus), int(rules.tilesLeft), int(rules.seconds)),
                  std::make_tuple(GameResults, c.bonus, int(c.tiles), c.seconds));
        EXPECT_EQ(rules.finalScore, c.points + c.bonus);
    }
}
