// Standart Click's rules: the level bonus, a level's clicks and clock, the next level's board.
#include <gtest/gtest.h>

#include "BoardText.h"
#include "ScriptedRandom.h"
#include "variants/rules/StandardRules.h"

using namespace testing_support;

// The total starts at 1000.
TEST(StandardRules, LevelBonusRaisesTheDifferenceToTheLevelAndSharesItOutOverTheSeconds)
{
    const struct { int16_t level, points, clicks; int tilesLeft; uint32_t milliseconds; int bonus; } cases[] = {
        {2, 300, 20, 45, 10000, 2},  // (15 - 10)^2 / 10
        {3, 5, 1, 0, 999, 125},      // less than one second keeps the undivided 5^3
        {4, 1, 1, 0, 0, 1},          // d 1
        {3, 2, 1, 0, 0, 8},          // d 2 is raised: 2^3
        {3, 10, 1, 45, 0, 0},        // d 0
        {2, 5, 1, 45, 0, 0},         // a negative d is not raised to an even power
        {2, 200, 1, 0, 0, 0},        // 200^2 wraps to a negative 16-bit value
        {2, 29, 2, 45, 0, 16},       // points per click truncate: (14 - 10)^2
        {4, 500, 0, 20, 0, 0},       // no counted click (the counter wrapped to 0)
    };
    for (const auto& c : cases) {
        StandardRules rules;
        rules.totalScore = 1000, rules.level = c.level, rules.levelPoints = c.points, rules.levelClicks = c.clicks;
        for (int i = 0; i < c.tilesLeft; ++i)
            rules.board[i] = 1;
        rules.clock.startTicks = 5000, rules.levelClockRunning = true;
        rules.finishLevel(5000 + c.milliseconds);
        EXPECT_EQ(std::make_tuple(int(rules.levelBonus), int(rules.totalScore), rules.state),
                  std::make_tuple(c.bonus, 1000 + c.bonus + c.points, LevelResults));
    }
}

// The clock starts with the first click on a tile only (not again when the click counter wraps). The
// next level deals level + 1 colours from a fresh seed; a click beside its board without a move ends
// it, in no time; the share left relates to every level played.
TEST(StandardRules, LevelTimeRunsFromItsFirstClickOnATileOnlyAndTheTotalsAddUpTheLevels)
{
    const auto cell = [](int column, int row) { return cellAtPixel(column * TileSize, row * TileSize); };
    StandardRules rules;
    rules.board = boardFromBottomRows({"1...", "2.33"});
    rules.click(cell(1, 17), 1000);
    EXPECT_EQ(rules.clock.startTicks, 0u);
    rules.click(cell(0, 17), 2000);
    rules.click(cell(1, 17), 2500);
    EXPECT_EQ(rules.levelClicks, 1);
    rules.levelClicks = -1;          // 65535 in 16 bits
    rules.click(cell(0, 17), 5000);  // the counter wraps to 0
    const Removal last = rules.click(cell(2, 17), 8500);
    ASSERT_EQ(rules.state, LevelResults);
    EXPECT_EQ(std::make_tuple(int(rules.levelSeconds), int(rules.tilesLeft), last.removed), std::make_tuple(6, 2, 1));

    ScriptedRandom random{2, 3};  // 2 % 3 + 1 and 3 % 3 + 1, then 1s
    rules.continueAfterLevel(random);
    EXPECT_EQ(std::make_tuple(int(rules.level), rules.state, random.reseeds), std::make_tuple(2, Playing, 1));
    EXPECT_TRUE(rules.board.at(0, 0) == 3 && rules.board.at(0, 1) == 1 && rules.board.tileCount() == BoardCells);
    rules.level = 5, rules.board = {};
    for (int i = 0; i < 90; ++i)  // a checkerboard: no move
        rules.board[i] = uint16_t((i / BoardRows + i) % 2 + 1);
    rules.click(cell(3, 18), 68500);
    EXPECT_EQ(std::make_tuple(rules.state, int(rules.levelSeconds), int(rules.totalSeconds), int(rules.tilesLeft),
                              rules.totalPercentLeft()),
              std::make_tuple(LevelResults, 0, 6, 90, 4));  // 92 tiles of 5 * 450
}
