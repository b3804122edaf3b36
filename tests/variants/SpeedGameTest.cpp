// Speed Click: the drain, the scoring by difficulty, the corner of gravity, the end, the pause.
#include <cstdlib>

#include "VariantTestSupport.h"
#include "variants/SpeedGame.h"

using namespace testing_support;

namespace {

// A group of four 1s (clicked at column 2), a pair of 3s that survives, a lone 2 at column 6.
const std::vector<std::string_view> groupPairAndLoneTile = {"1...3..", "111.3.2"};

using SpeedGameTest = VariantTest;

// One click (column -1: a tick) on a clock run for `seconds` (0: not started). A click that loses
// keeps that moment's board, points and colours: no next board, no win on the seventh.
TEST_F(SpeedGameTest, EachTickDrainsEachClickPaysCostsDealsTheNextBoardWinsOrLoses)
{
    const std::vector<std::string_view> lastPair = {"3..", "411"}, noMoves = {"1212", "2121"};
    const auto& group = groupPairAndLoneTile;
    const struct {  // finalScore 0: still playing
        int16_t difficulty, colours, points;
        const std::vector<std::string_view>& rows;
        int column, row, seconds, pointsAfter, coloursAfter, finalScore;
        std::string screen = "";
    } cases[] = {
        {0, 3, 3, group, -1, 18, 0, 3, 3, 0},       // a tick before the clock runs
        {0, 3, 3, group, -1, 18, 4, -2, 3, 304},    // Leicht: 3 - 5, lost with 4 + 3 * 100
        {1, 3, 3, group, -1, 18, 4, 0, 3, 0},       // Mittel: 3 - 3 goes on
        {7, 3, 3, group, -1, 18, 4, 0, 3, 0},       // a difficulty off the menu plays as the nearest
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
        {2, 7, 146, lastPair, 1, 17, 200, 150, 8, 4750,   // won: 200 + 8 * 3 * 100 + 150 + 2000
         endScreen({"RestPunkte: 150", "Zeit: 200 Sekunden", "Farben: 8", "Schwierigkeit: Schwer", "-> Bonus: 2400",
                    "-> GewinnBonus: 2000"}, "4750", "Gewonnen!")},
        {1, 4, 5, noMoves, 2, 17, 100, -1, 4, 900,  // lost: 100 + 4 * 2 * 100, no remaining points, no win bonus
         endScreen({"RestPunkte: 0", "Zeit: 100 Sekunden", "Farben: 4", "Schwierigkeit: Mittel", "-> Bonus: 800", ""},
                   "900", "Leider Verloren!")},
        {0, 7, 9, noMoves, 1, 16, 100, -1, 7, 800},  // lost on the seventh board
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        auto game = std::make_unique<SpeedGame>(c.difficulty);
        game->board = boardFromBottomRows(c.rows);
        const uint32_t startedAt = game->startTicks = c.seconds != 0 ? clock.now() : 0;
        clock.advance(c.seconds * 1000);
        game->colourCount = c.colours, game->points = c.points;
        const Board before = game->board;
        const bool onTile = c.row < BoardRows && before[cellIndex(c.column, c.row)] != 0;
        if (c.column < 0)
            game->tick();
        else
            game->click(pixelOf(c.column), pixelOf(c.row));
        EXPECT_EQ(std::make_tuple(int(game->points), int(game->colourCount), game->finalScore),
                  std::make_tuple(c.pointsAfter, c.coloursAfter, c.finalScore));
        EXPECT_EQ(game->state, c.finalScore != 0 ? GameResults : Playing);
        EXPECT_EQ(game->startTicks, startedAt ? startedAt : onTile ? clock.now() : 0u) << "a tile starts it, once";
        EXPECT_EQ(c.screen.empty() ? "" : shown(*game), c.screen);
        EXPECT_TRUE(c.pointsAfter >= 0 || game->board == before) << "a lost game keeps its board";
        EXPECT_TRUE(c.pointsAfter < 0 || c.coloursAfter == c.colours ||
                    game->occupiedCells() == (c.finalScore != 0 ? 2 : BoardCells)) << "a new board, or the last tiles";
    }
}

// Corners 0 to 3 by rand() % 4; the ninth tile click draws none.
TEST_F(SpeedGameTest, TenthTileClickDrawsTheCornerBeforeItsOwnCollapse)
{
    const struct { int corner, row, column, tileClicksBefore; } cases[] = {
        {0, 17, 0, 9}, {1, 17, 24, 9}, {2, 0, 24, 9}, {3, 0, 0, 9}, {1, 8, 12, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.corner);
        auto game = std::make_unique<SpeedGame>(0);
        game->board = boardFromBottomRows({"...3", "1123"});
        game->gravityRow = 8, game->gravityColumn = 12;  // no corner: shows whether one was drawn
        game->tileClicks = c.tileClicksBefore;
        unsigned seed = 1;
        while (std::srand(seed), std::rand() % 4 != c.corner)
            ++seed;
        std::srand(seed);
        game->click(pixelOf(0), pixelOf(17));
        EXPECT_EQ(std::make_pair(int(game->gravityRow), int(game->gravityColumn)), std::make_pair(c.row, c.column));
        if (c.tileClicksBefore == 9) {  // this click's collapse already gathers at the new corner
            EXPECT_EQ(game->cell(c.column, c.row), c.column == 0 ? 2 : 3);
        }
    }
}

TEST_F(SpeedGameTest, StatusBarAndPauseLabelWhichPausesEachSpanByItselfButNeverAFinishedGame)
{
    auto game = std::make_unique<SpeedGame>(1);
    game->board = boardFromBottomRows(groupPairAndLoneTile);
    EXPECT_EQ(shown(*game), statusBar("Punkte: 200", "(pause)", "M\xF6glichkeiten: 6"));
    expectPauseCycle(*game, game->pauseButton, game->seconds, 2, 17);
    EXPECT_EQ(game->points, 200) << "a paused clock drains nothing";
}

}  // namespace
