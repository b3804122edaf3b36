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

// A board dealt from a number that gives `first`, then 0s: three empty rows, then `first` and 1s.
Board dealtFrom(uint16_t first)
{
    Board board = boardFromBottomRows(std::vector<std::string_view>(BoardRows - 3, "1111111111111111111111111"));
    board.at(0, 3) = first;
    return board;
}

}  // namespace

// Four colours below three empty rows, columns closing toward the middle. 25 ticks fill the top row, the
// 26th lets it fall; a column full up to row 1 (4) keeps its top cell.
TEST(FallDownRules, StartsWithFourColoursBelowThreeEmptyRowsThenEachCycleIsTwentyFivePlacementsAndOneFall)
{
    ScriptedRandom random{7};
    FallDownRules rules;
    rules.start(random);
    EXPECT_EQ(boardText(rules.board), boardText(dealtFrom(4)));  // 7 % 4 + 1
    EXPECT_TRUE(rules.colourCount == 4 && rules.gravity == (Gravity{LastRow, 12}));
    rules.board = boardFromBottomRows({"1.2.3.4.1.2.3.4.1.2.3.4.1", "2341234123412341234123412"});
    for (int row = 1; row < 16; ++row)
        rules.board.at(4, row) = uint16_t(row % 2 + 5);
    rules.clock.startTicks = 1000;
    Board expected = rules.board;
    for (int column = 0; column < BoardColumns; ++column) {
        random.numbers.push_back(column);
        expected.at(column, column == 4 ? 0 : column % 2 == 0 ? 15 : 16) = uint16_t(column % 4 + 1);
    }
    for (int i = 0; i < 26; ++i)
        EXPECT_TRUE(rules.tick(2000, random));
    EXPECT_EQ(rules.refillColumn, 0);
    EXPECT_EQ(boardText(rules.board), boardText(expected));
}

// A lone tile, and an empty cell once the clock runs, feed a tile (the number `colours` gives 1). A top cell
// fed in this cycle hangs, an older one falls; emptied columns close toward column 12 below the top row.
// Seven boards win; a feed that loses wins nothing. A next board's first tile shows its colour count.
TEST(FallDownRules, ClicksFeedSettleTheBoardDealTheNextWinOrLose)
{
    const std::string_view top = "7.7...................7.7";
    const std::vector<std::string_view> ones = {"...1................1....", "2341623456234562345613456"};
    const struct {  // finalScore 0: still playing; no bottomAfter: a new board was dealt
        std::string_view top; std::vector<std::string_view> bottom; int16_t colours, refillColumn; bool running;
        int16_t column, row, points; int32_t finalScore; bool won;
        std::string_view topAfter; std::vector<std::string_view> bottomAfter;
    } cases[] = {
        {"", {"1244"}, 4, 0, false, 0, 17, 0, 0, false, "1", {"1244"}},  // a lone tile, the first click
        {"", {"1244"}, 4, 0, false, 6, 9, 0, 0, false, "", {"1244"}},    // an empty cell before it
        {"", {"1244"}, 4, 0, true, 6, 9, 0, 0, false, "1", {"1244"}},    // an empty cell with the clock running
        {".4...3", {".2...2", "111111....2", "2323232323232323232323232"}, 4, 3, true, 0, 16, 5, 0, false,
         ".4", {".....3", ".2...2....2", "2323232323232323232323232"}},  // column 1 fed in this cycle, 5 earlier
        {top, ones, 4, 25, true, 3, 17, 1, 0, false, top, {"....................1....", ".234623456234562345613456"}},
        {top, ones, 4, 25, true, 20, 17, 1, 0, false, top, {"...1.....................", "234162345623456234563456."}},
        {"", {"2113"}, 5, 9, true, 1, 17, 1, 0, false, "", {}},                    // the next board
        {"", {"2113"}, 7, 9, true, 1, 17, 1, 4021, true, "", {"...........23"}},  // 1 + 5 * 200 + 20 + 3000
        {"5", {"2.3"}, 7, 0, true, 0, 17, 0, 820, false, "5", {"2.3"}},           // lost: 4 * 200 + 20
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        FallDownRules rules;
        rules.board = topAndBottom(c.top, c.bottom), rules.gravity = {LastRow, 12}, rules.colourCount = c.colours;
        rules.refillColumn = c.refillColumn, rules.clock.startTicks = c.running ? 1000 : 0;
        const bool onTile = rules.board.at(c.column, c.row) != 0;
        ScriptedRandom random{c.colours};
        rules.click(cellAtPixel(c.column * TileSize, c.row * TileSize), 21000, random);
        EXPECT_EQ(std::make_tuple(int(rules.points), rules.finalScore, rules.won, rules.state),
                  std::make_tuple(c.points, c.finalScore, c.won, c.finalScore != 0 ? GameResults : Playing));
        EXPECT_EQ(rules.clock.startTicks, c.running ? 1000u : onTile ? 21000u : 0u) << "the clock runs on";
        if (c.bottomAfter.empty()) {
            EXPECT_TRUE(rules.colourCount == c.colours + 1 && rules.refillColumn == 0) << rules.colourCount;
            EXPECT_EQ(boardText(rules.board), boardText(dealtFrom(uint16_t(c.colours + 1))));
        } else {
            EXPECT_EQ(boardText(rules.board), boardText(topAndBottom(c.topAfter, c.bottomAfter)));
        }
    }
}
