// FallDown Click: the feeder, settling below the top row, the next boards, the end, the pause.
#include <algorithm>

#include "VariantTestSupport.h"
#include "variants/FallDownGame.h"

using namespace testing_support;

namespace {

Board topAndBottom(std::string_view top, const std::vector<std::string_view>& bottom)
{
    Board board = boardFromBottomRows(bottom);
    for (size_t column = 0; column < top.size(); ++column)
        board[cellIndex(int(column), 0)] = cellFromChar(top[column]);
    return board;
}

bool dealtBelowThreeEmptyRows(const Board& board)
{
    return std::ranges::count(board, 0) == 3 * BoardColumns &&
           rowText(board, 0) + rowText(board, 1) + rowText(board, 2) == std::string(3 * BoardColumns, '.');
}

class FallDown : public VariantTest {
protected:
    FallDownGame game;
};

// A lone tile, and an empty cell once the clock runs, make one feeding step; before that the feeder waits.
TEST_F(FallDown, StartsWithFourColoursAndClicksThatRemoveNothingFeedOnceTheClockRuns)
{
    EXPECT_EQ(game.colourCount, 4);
    EXPECT_TRUE(dealtBelowThreeEmptyRows(game.board)) << boardText(game.board);
    const struct { int column, row; bool clockBefore, feeds; } cases[] = {
        {0, 17, false, true},  // a lone tile, the first click: starts the clock
        {6, 9, false, false},  // an empty cell before the first tile click
        {6, 9, true, true},    // an empty cell with the clock running
    };
    for (const auto& c : cases) {
        Board expected = game.board = boardFromBottomRows({"1244"});
        game.refillColumn = 0, game.startTicks = c.clockBefore ? clock.now() - 3000 : 0;
        game.click(pixelOf(c.column), pixelOf(c.row));
        expected[0] = game.cell(0, 0);
        EXPECT_EQ(game.board, expected);
        EXPECT_EQ(std::make_pair(game.refillColumn == 1 && expected[0] != 0, game.startTicks != 0),
                  std::make_pair(c.feeds, c.feeds));
    }
}

// 25 ticks fill the top row, the 26th lets it fall; a column full up to row 1 (4) keeps its top cell.
TEST_F(FallDown, OneCycleIsTwentyFivePlacementsAndOneFall)
{
    game.board = boardFromBottomRows({"1.2.3.4.1.2.3.4.1.2.3.4.1", "2341234123412341234123412"});
    for (int row = 1; row < 16; ++row)
        game.cell(4, row) = uint16_t(row % 2 + 5);
    Board expected = game.board;
    game.startTicks = clock.now();
    for (int i = 0; i < 25; ++i)
        game.tick();
    const std::string placed = rowText(game.board, 0);
    EXPECT_EQ(placed.find_first_not_of("1234"), std::string::npos) << placed;
    for (int column = 0; column < BoardColumns; ++column)
        expected[cellIndex(column, column == 4 ? 0 : column % 2 == 0 ? 15 : 16)] = cellFromChar(placed[column]);
    game.tick();
    EXPECT_EQ(game.refillColumn, 0);
    EXPECT_EQ(boardText(game.board), boardText(expected));
}

// A top cell placed in this cycle hangs, an older one falls; emptied columns close toward column
// 12 while the top row stays. Seven boards win; a click whose feeding step loses wins nothing.
TEST_F(FallDown, ClicksSettleTheBoardDealTheNextWinOrLose)
{
    const std::string_view top = "7.7...................7.7";
    const std::vector<std::string_view> twoOnes = {"...1................1....", "2341623456234562345613456"};
    const struct {  // finalScore 0: still playing; no bottomAfter: a new board was dealt
        std::string_view top;
        std::vector<std::string_view> bottom;
        int16_t colours, refillColumn, column, row, points;
        int32_t finalScore;
        bool won;
        std::string_view topAfter;
        std::vector<std::string_view> bottomAfter;
    } cases[] = {
        {".4...3", {".2...2", "111111....2", "2323232323232323232323232"}, 4, 3, 0, 16, 5, 0, false,
         ".4", {".....3", ".2...2....2", "2323232323232323232323232"}},  // column 1 fed in this cycle, 5 earlier
        {top, twoOnes, 4, 25, 3, 17, 1, 0, false, top, {"....................1....", ".234623456234562345613456"}},
        {top, twoOnes, 4, 25, 20, 17, 1, 0, false, top, {"...1.....................", "234162345623456234563456."}},
        {"", {"2113"}, 5, 9, 1, 17, 1, 0, false, "", {}},                          // the next board
        {"", {"2113"}, 7, 9, 1, 17, 1, 4021, true, "", {"...........23"}},        // 1 + 5 * 200 + 20 + 3000
        {"5", {"2.3"}, 7, 0, 0, 17, 0, 820, false, "5", {"2.3"}},                 // lost: 4 * 200 + 20
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        game.board = topAndBottom(c.top, c.bottom);
        game.colourCount = c.colours, game.refillColumn = c.refillColumn;
        game.points = game.seconds = 0, game.state = Playing, game.won = false;
        game.startTicks = clock.now(), game.endTicks = 0;
        clock.advance(20000);
        game.click(pixelOf(c.column), pixelOf(c.row));
        EXPECT_EQ(std::make_tuple(int(game.points), game.finalScore, game.won),
                  std::make_tuple(c.points, c.finalScore, c.won));
        EXPECT_EQ(game.state, c.finalScore != 0 ? GameResults : Playing);
        if (c.bottomAfter.empty()) {
            EXPECT_EQ(std::make_pair(int(game.colourCount), int(game.refillColumn)), std::make_pair(c.colours + 1, 0));
            EXPECT_EQ(game.startTicks, clock.now() - 20000) << "the clock runs on";
            EXPECT_TRUE(dealtBelowThreeEmptyRows(game.board)) << boardText(game.board);
        } else {
            EXPECT_EQ(boardText(game.board), boardText(topAndBottom(c.topAfter, c.bottomAfter)));
        }
    }
}

// The moves count no top-row pair, but a row-1 tile under its colour in row 0. Any click resumes
// a pause, and the feeder then runs even before a tile click.
TEST_F(FallDown, StatusBarCountsMovesBelowTopAndThePauseLabelPausesEachSpanByItself)
{
    game.board = boardAt(0, 0, {"33.5", "1..5", "14"});
    game.points = 12;
    EXPECT_EQ(shown(game), statusBar("Punkte: 12", "(pause)", "M\xF6glichkeiten: 3"));
    game.board = boardFromBottomRows({".......................33"});
    EXPECT_EQ(game.countMovesBelowTop(), 2);
    game.board = boardFromBottomRows({"1144"});
    expectPauseCycle(game, game.pauseButton, game.seconds, 0, 17);
    EXPECT_EQ(game.refillColumn, 0);
    game.state = Paused, game.startTicks = 0;
    game.click(400, 590);
    game.tick();
    EXPECT_NE(game.cell(0, 0), 0);
}

// The worked examples; the bonus line shows the 200 per colour the total adds, so the lines add up.
TEST_F(FallDown, FinalScoreAndTheWonResultScreenLineByLine)
{
    for (const auto& [won, colours, points, milliseconds, total] :
         {std::tuple{false, 4, 500, 95000u, 795}, std::tuple{true, 8, 2000, 600000u, 6600}}) {
        game.won = won, game.colourCount = int16_t(colours), game.points = int16_t(points), game.seconds = 0;
        game.startTicks = clock.now(), game.endTicks = 0;
        clock.advance(milliseconds);
        game.finishGame();
        EXPECT_EQ(game.finalScore, total);
        EXPECT_EQ(shown(game).find("GewinnBonus") != std::string::npos, won);
    }
    EXPECT_EQ(shown(game), endScreen({"Punkte: 2000", "Zeit: 600 Sekunden", "Farben: 8", "-> Bonus: 1000",
                                      "-> GewinnBonus: 3000"}, "6600", "Gewonnen!"));
}

}  // namespace
