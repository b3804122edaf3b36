// Standart Click's rules: the level bonus, a level's clicks and clock, the next level.
#include <gtest/gtest.h>

#include "BoardText.h"
#include "ScriptedRandom.h"
#include "variants/rules/StandardRules.h"

using namespace testing_support;

// (points per click - % tiles left)^level, over the whole seconds; the total starts at 1000.
TEST(StandardRules, LevelBonusRaisesTheDifferenceToTheLevelAndSharesItOutOverTheSeconds)
{
    const struct { int16_t level, points, clicks; int tilesLeft; uint32_t milliseconds; int bonus; } cases[] = {
        {2, 300, 20, 45, 10000, 2},  // (15 - 10)^2 / 10
        {3, 5, 1, 0, 999, 125},      // less than one second keeps the undivided 5^3
        {2, 5, 1, 45, 0, 0},         // a negative difference is not raised to an even power
        {2, 200, 1, 0, 0, 0},        // 200^2 wraps to a negative 16-bit value
        {4, 500, 0, 20, 0, 0},       // no counted click (the counter wrapped to 0)
    };
    for (const auto& c : cases) {
        StandardRules rules;
        rules.totalScore = 1000;
        rules.level = c.level;
        rules.levelPoints = c.points;
        rules.levelClicks = c.clicks;
        for (int i = 0; i < c.tilesLeft; ++i)
            rules.board[i] = 1;
        rules.clock.startTicks = 5000;
        rules.levelClockRunning = true;
        rules.finishLevel(5000 + c.milliseconds);
        EXPECT_EQ(std::make_tuple(int(rules.levelBonus), int(rules.totalScore), rules.state),
                  std::make_tuple(c.bonus, 1000 + c.bonus + c.points, LevelResults));
    }
}

// An empty cell is no click; the first tile click starts the level's clock; a pair pays 2 at level 1, and
// the 2s it brings together end the level. The next level deals 3 colours from a fresh seed; a click beside
// its board without a move ends it, in no time.
TEST(StandardRules, LevelTimeRunsFromItsFirstClickOnATileAndTheTotalsAddUpTheLevels)
{
    const auto cell = [](int column, int row) { return cellAtPixel(column * TileSize, row * TileSize); };
    StandardRules rules;
    rules.board = boardFromBottomRows({"1...", "2332"});
    rules.click(cell(1, 16), 1000);
    rules.click(cell(0, 16), 2000);
    rules.click(cell(1, 17), 5000);
    rules.click(cell(1, 17), 9000);
    EXPECT_EQ(std::make_tuple(rules.state, int(rules.levelClicks), int(rules.levelPoints), int(rules.levelSeconds)),
              std::make_tuple(LevelResults, 3, 4, 7));

    ScriptedRandom random{2};
    rules.continueAfterLevel(random);
    EXPECT_EQ(std::make_tuple(int(rules.level), rules.state, random.reseeds, int(rules.board.at(0, 0))),
              std::make_tuple(2, Playing, 1, 3));
    rules.board = {};
    for (int i = 0; i < 90; ++i)  // a checkerboard: no move
        rules.board[i] = uint16_t((i / BoardRows + i) % 2 + 1);
    rules.click(cell(3, 18), 68000);
    EXPECT_EQ(std::make_tuple(int(rules.levelSeconds), int(rules.totalSeconds), int(rules.tilesLeft),
                              rules.totalPercentLeft()),
              std::make_tuple(0, 7, 90, 10));  // 91 tiles of 2 * 450
}
