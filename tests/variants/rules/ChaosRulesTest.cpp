// Chaos Click's rules: gravity after each click into the board, the bonus.
#include <gtest/gtest.h>

#include "BoardText.h"
#include "ScriptedRandom.h"
#include "variants/rules/ChaosRules.h"

using namespace testing_support;

// The new point of gravity takes the next two numbers, the row before the column: 40 % 18 and 61 % 25.
// Five 1s of three colours pay 4 * 4; an empty cell takes nothing and moves the tiles all the same.
TEST(ChaosRules, EveryClickIntoTheBoardMovesGravityToARandomCell)
{
    const struct { int column, row, clicks, points; } cases[] = {{2, 17, 1, 16}, {10, 3, 0, 0}, {3, 18, 0, 0}};
    for (const auto& c : cases) {
        ChaosRules rules;
        rules.colourCount = 3;
        rules.board = boardFromBottomRows({".1.....", ".1....3", "2111..3"});
        ScriptedRandom random{40, 61};
        rules.click(cellAtPixel(c.column * TileSize, c.row * TileSize), 7000, random);
        const bool onBoard = c.row < BoardRows;
        EXPECT_EQ(std::make_tuple(int(rules.clicks), int(rules.points), rules.gravity == Gravity{4, 11}),
                  std::make_tuple(c.clicks, c.points, onBoard));
        EXPECT_EQ(rules.board.at(11, 4) != 0, onBoard) << "the tiles gather around the point of gravity";
    }
}

// As the game ends: (points per click - % tiles left)^(colours - 1), over the whole seconds, at least 0.
TEST(ChaosRules, BonusFollowsPointsPerClickTilesLeftColoursAndTime)
{
    const struct { int16_t points, clicks, tiles, colours; uint32_t end; int bonus; } cases[] = {
        {900, 60, 9, 4, 121000, 18},  // (15 - 2)^3 / 120
        {60, 10, 45, 3, 6000, 0},     // (6 - 10)^3 is negative
        {12, 2, 23, 3, 1900, 1},      // within the first second: undivided
        {150, 10, 0, 5, 4000, 0},     // 15^4 wraps to a negative number
        {500, 0, 0, 5, 5000, 0},      // the click counter wrapped to 0
    };
    for (const auto& c : cases) {
        ChaosRules rules;
        rules.colourCount = c.colours;
        rules.points = c.points;
        rules.clicks = c.clicks;
        rules.clock.startTicks = 1000;
        for (int i = 0; i < c.tiles; ++i)
            rules.board[i] = 1;
        rules.finishGame(c.end);
        EXPECT_EQ(std::make_tuple(rules.state, int(rules.bonus), rules.finalScore),
                  std::make_tuple(GameResults, c.bonus, c.points + c.bonus));
    }
}
