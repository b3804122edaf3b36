// Speed Click's rules: the drain, the scoring by difficulty, the corner of gravity, the end.
#include <gtest/gtest.h>

#include "BoardText.h"
#include "ScriptedRandom.h"
#include "variants/rules/SpeedRules.h"

using namespace testing_support;

// One click (column -1: a tick) on a clock run for `seconds` (0: not started). A click that loses keeps
// that moment's board, points and colours: no next board, no win on the seventh. A next board is dealt
// from the number colours after - 1, then 0s, so its first tile shows its colour count. finalScore 0: playing.
TEST(SpeedRules, EachTickDrainsEachClickPaysCostsDealsTheNextBoardWinsOrLoses)
{
    const std::vector<std::string_view> group = {"1...3..", "111.3.2"},  // four 1s, a pair of 3s, a lone 2
                                        lastPair = {"3..", "411"}, noMoves = {"1212", "2121"};
    const struct { int16_t difficulty, colours, points; const std::vector<std::string_view>& rows;
                   int column, row, seconds, pointsAfter, coloursAfter, finalScore; } cases[] = {
        {0, 3, 3, group, -1, 18, 0, 3, 3, 0},       // a tick before the clock runs
        {0, 3, 3, group, -1, 18, 4, -2, 3, 304},    // Leicht: 3 - 5, lost with 4 + 3 * 100
        {1, 3, 3, group, -1, 18, 4, 0, 3, 0},       // Mittel: 3 - 3 goes on
        {0, 3, 100, group, 3, 18, 0, 100, 3, 0},    // below the board
        {0, 3, 100, group, 10, 3, 0, 90, 3, 0},     // an empty cell: twice the drain
        {2, 2, 300, group, 6, 17, 0, 294, 2, 0},    // a lone tile: twice the drain
        {1, 2, 200, group, 2, 17, 0, 200, 2, 0},    // factor 0
        {2, 2, 300, group, 2, 17, 0, 300, 2, 0},    // factor -1 takes nothing
        {2, 7, 300, group, 2, 17, 0, 312, 7, 0},    // (7 - 2 - 1) * 3
        {0, 4, 100, lastPair, 1, 17, 0, 103, 5, 0}, // the last pair: (4 - 0 - 1) * 1, next board
        {1, 4, 100, lastPair, 1, 17, 0, 142, 5, 0}, // (4 - 1 - 1) * 1, then 40
        {2, 4, 100, lastPair, 1, 17, 0, 181, 5, 0}, // (4 - 2 - 1) * 1, then 80
        {0, 7, 144, lastPair, 1, 17, 200, 150, 8, 1150},  // won: 200 + 8 * 1 * 100 + 150 + 0
        {2, 7, 146, lastPair, 1, 17, 200, 150, 8, 4750},  // won: 200 + 8 * 3 * 100 + 150 + 2000
        {1, 4, 5, noMoves, 2, 17, 100, -1, 4, 900},  // lost: 100 + 4 * 2 * 100, no remaining points, no win bonus
        {0, 7, 9, noMoves, 1, 16, 100, -1, 7, 800},  // lost on the seventh board
        {0, 7, 10, noMoves, 10, 3, 100, 0, 8, 900},  // won with no points left
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        ScriptedRandom random;
        SpeedRules rules;
        rules.start(c.difficulty, random);
        rules.board = boardFromBottomRows(c.rows), rules.colourCount = c.colours, rules.points = c.points;
        rules.clock.startTicks = c.seconds != 0 ? 1000 : 0;
        random.numbers = {c.coloursAfter - 1};
        const uint32_t now = 1000 + 1000 * c.seconds;
        const Board before = rules.board;
        const bool onTile = c.column >= 0 && c.row < BoardRows && before.at(c.column, c.row) != 0;
        if (c.column < 0) {
            EXPECT_EQ(rules.tick(now), c.seconds != 0) << "the points change only while the clock runs";
        } else {
            rules.click(cellAtPixel(c.column * TileSize, c.row * TileSize), now, random);
        }
        EXPECT_EQ(std::make_tuple(rules.points, rules.colourCount, rules.finalScore, rules.state == GameResults),
                  std::make_tuple(c.pointsAfter, c.coloursAfter, c.finalScore, c.finalScore != 0));
        EXPECT_EQ(rules.state == GameResults && rules.won(), c.finalScore != 0 && c.pointsAfter >= 0);
        EXPECT_EQ(rules.clock.startTicks, c.seconds != 0 ? 1000u : onTile ? now : 0u) << "a tile starts it, once";
        EXPECT_TRUE(c.pointsAfter >= 0 || rules.board == before) << "a lost game keeps its board";
        const int tiles = rules.board.tileCount();
        const bool lastTiles = tiles == 2 || rules.board == before;
        const bool nextBoard = tiles == BoardCells && rules.board.at(0, 0) == c.coloursAfter;
        EXPECT_TRUE(c.pointsAfter < 0 || c.coloursAfter == c.colours || (c.finalScore != 0 ? lastTiles : nextBoard))
            << "a new board of one colour more, or the last tiles";
    }
}

// Corners 0 to 3 by the next number % 4; the ninth tile click draws none.
TEST(SpeedRules, TenthTileClickDrawsTheCornerBeforeItsOwnCollapse)
{
    const struct { int corner, row, column, tileClicksBefore; } cases[] = {
        {0, 17, 0, 9}, {1, 17, 24, 9}, {2, 0, 24, 9}, {3, 0, 0, 9}, {1, 8, 12, 8}};
    for (const auto& c : cases) {
        ScriptedRandom random{c.corner + 4};
        SpeedRules rules;
        rules.board = boardFromBottomRows({"...3", "1123"});
        rules.gravity = {8, 12};  // no corner: shows whether one was drawn
        rules.tileClicks = int16_t(c.tileClicksBefore);
        rules.click(cellAtPixel(0, 17 * TileSize), 1000, random);
        EXPECT_EQ(std::make_tuple(int(rules.gravity.row), int(rules.gravity.column), random.drawn),
                  std::make_tuple(c.row, c.column, c.tileClicksBefore == 9 ? 1 : 0));
        EXPECT_TRUE(c.tileClicksBefore != 9 || rules.board.at(c.column, c.row) == (c.column == 0 ? 2 : 3))
            << "this click's collapse already gathers at the new corner";
    }
}
