// Speed Click's rules: the drain, the scoring by difficulty, the corner of gravity, the end.
#include <gtest/gtest.h>

#include "BoardText.h"
#include "ScriptedRandom.h"
#include "variants/rules/SpeedRules.h"

using namespace testing_support;

// One click (column -1: a tick) on a clock run for `seconds` (0: not started). A group pays (colours -
// difficulty - 1) a tile; the last pair deals the next board from the number colours after - 1, so its
// first tile shows its colour count, or wins after the seventh. A loss keeps that moment's board.
TEST(SpeedRules, EachTickDrainsEachClickPaysTheLastPairDealsTheNextBoardWinsOrLoses)
{
    const std::vector<std::string_view> group = {"1...3..", "111.3.2"}, lastPair = {"3..", "411"},
                                        noMoves = {"1212", "2121"};
    const struct { int16_t difficulty, colours, points; const std::vector<std::string_view>& rows;
                   int column, row, seconds, pointsAfter, coloursAfter, finalScore; } cases[] = {
        {0, 3, 3, group, -1, 18, 0, 3, 3, 0},         // a tick before the clock runs
        {0, 3, 3, group, -1, 18, 4, -2, 3, 304},      // Leicht drains 5: lost with 4 + 3 * 100
        {2, 7, 300, group, 2, 17, 0, 312, 7, 0},      // (7 - 2 - 1) * 3
        {1, 4, 100, lastPair, 1, 17, 0, 142, 5, 0},   // (4 - 1 - 1) * 1, then 40 for the next board
        {2, 7, 146, lastPair, 1, 17, 200, 150, 8, 4750},  // won: 200 + 8 * 3 * 100 + 150 + 2000
        {1, 4, 5, noMoves, 2, 17, 100, -1, 4, 900},   // lost: 100 + 4 * 2 * 100, no points left, no win
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        ScriptedRandom random;
        SpeedRules rules;
        rules.start(c.difficulty, random);
        rules.board = boardFromBottomRows(c.rows);
        rules.colourCount = c.colours;
        rules.points = c.points;
        rules.clock.startTicks = c.seconds != 0 ? 1000 : 0;
        random.numbers = {c.coloursAfter - 1};
        const Board before = rules.board;
        if (c.column < 0)
            EXPECT_EQ(rules.tick(1000 + 1000 * uint32_t(c.seconds)), c.seconds != 0);
        else
            rules.click(cellAtPixel(c.column * TileSize, c.row * TileSize), 1000 + 1000 * uint32_t(c.seconds), random);
        EXPECT_EQ(std::make_tuple(rules.points, rules.colourCount, rules.finalScore, rules.state == GameResults),
                  std::make_tuple(c.pointsAfter, c.coloursAfter, c.finalScore, c.finalScore != 0));
        EXPECT_EQ(rules.won(), c.pointsAfter >= 0);
        EXPECT_TRUE(c.coloursAfter == c.colours || rules.board.at(0, 0) == c.coloursAfter || c.finalScore != 0);
        EXPECT_TRUE(c.pointsAfter >= 0 || rules.board == before) << "a lost game keeps its board";
    }
}

TEST(SpeedRules, ThereAreThreeDifficulties)
{
    EXPECT_DEATH(SpeedRules::settingsOf(3), "Assertion");
}

// Nine clicks on a lone tile cost twice the drain each and draw nothing; the tenth click on a tile draws
// the corner (the next number % 4), and its own collapse already gathers the tiles there.
TEST(SpeedRules, EveryTenthTileClickMovesGravityToARandomCorner)
{
    const struct { int row, column; } corners[] = {{17, 0}, {17, 24}, {0, 24}, {0, 0}};
    for (int corner = 0; corner < 4; ++corner) {
        ScriptedRandom random;
        SpeedRules rules;
        rules.start(2, random);
        rules.board = boardFromBottomRows({"...3", "1123"});
        random.numbers = {corner + 4};
        random.drawn = 0;
        for (int click = 0; click < 9; ++click)
            rules.click(cellAtPixel(2 * TileSize, 17 * TileSize), 1000, random);
        EXPECT_EQ(std::make_tuple(int(rules.points), random.drawn), std::make_tuple(300 - 9 * 6, 0));
        rules.click(cellAtPixel(0, 17 * TileSize), 1000, random);
        const auto [row, column] = corners[corner];
        EXPECT_TRUE(rules.gravity == (Gravity{int16_t(row), int16_t(column)}) &&
                    rules.board.at(column, row) == (column == 0 ? 2 : 3)) << corner;
    }
}
