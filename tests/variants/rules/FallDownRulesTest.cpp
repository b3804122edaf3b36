// FallDown Click's rules: the feeder, settling below the top row, the next boards, the end.
#include <gtest/gtest.h>

#include "BoardText.h"
#include "ScriptedRandom.h"
#include "variants/rules/FallDownRules.h"

using namespace testing_support;

namespace {

Board topAndBottom(std::string_view top, const std::vector<std::string_view>& bottom)
{
    Board board = boardFromBottomRows(bottom);
    for (size_t column = 0; column < top.size(); ++column)
        board.at(int(column), 0) = cellFromChar(top[column]);
    return board;
}

}  // namespace

// Four colours below three empty rows; the feeder waits for the clock, then 25 ticks fill the top row
// and the 26th lets it fall.
TEST(FallDownRules, StartsWithFourColoursThenEachCycleIsTwentyFivePlacementsAndOneFall)
{
    ScriptedRandom random{7};
    FallDownRules rules;
    rules.start(random);
    EXPECT_TRUE(rules.board.at(0, 2) == 0 && rules.board.at(0, 3) == 4 && rules.board.tileCount() == 15 * 25);
    EXPECT_FALSE(rules.tick(2000, random));
    rules.board = {};
    rules.clock.startTicks = 1000;
    for (int i = 0; i < 26; ++i)
        EXPECT_TRUE(rules.tick(2000, random));
    EXPECT_EQ(boardText(rules.board), boardText(boardFromBottomRows({"1111111111111111111111111"})));
}

// A lone tile (the first starts the clock) or an empty cell once the clock runs feeds a tile: the number
// `colours` gives 1. A top cell fed in this cycle hangs, an older one falls. Seven boards win; a feed onto
// a tile loses. No after board: the next one was dealt from the number `colours`, showing its colour count.
TEST(FallDownRules, ClicksFeedSettleTheBoardDealTheNextWinOrLose)
{
    const std::string_view alternate = "2323232323232323232323232";
    const struct {
        std::string_view top; std::vector<std::string_view> bottom; int16_t colours, refillColumn; bool running;
        int16_t column, row, points; int32_t finalScore;
        std::string_view topAfter; std::vector<std::string_view> bottomAfter;
    } cases[] = {
        {"", {"1244"}, 4, 0, false, 0, 17, 0, 0, "1", {"1244"}},
        {"", {"1244"}, 4, 0, false, 6, 9, 0, 0, "", {"1244"}},
        {"", {"1244"}, 4, 0, true, 6, 9, 0, 0, "1", {"1244"}},
        {".4.3", {"11", alternate}, 4, 2, true, 0, 16, 1, 0, ".4", {"...3", alternate}},
        {"", {"2113"}, 5, 9, true, 1, 17, 1, 0, "", {}},
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
        const bool onTile = rules.board.at(c.column, c.row) != 0;
        ScriptedRandom random{c.colours};
        rules.click(cellAtPixel(c.column * TileSize, c.row * TileSize), 21000, random);
        EXPECT_EQ(std::make_tuple(int(rules.points), rules.finalScore, rules.won, rules.state),
                  std::make_tuple(c.points, c.finalScore, c.finalScore > 3000, c.finalScore != 0 ? GameResults : Playing));
        EXPECT_EQ(rules.clock.startTicks, c.running ? 1000u : onTile ? 21000u : 0u) << "the clock runs on";
        if (c.bottomAfter.empty())
            EXPECT_TRUE(rules.colourCount == c.colours + 1 && rules.board.at(0, 3) == c.colours + 1);
        else
            EXPECT_EQ(boardText(rules.board), boardText(topAndBottom(c.topAfter, c.bottomAfter)));
    }
}
