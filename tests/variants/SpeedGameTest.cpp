// Speed Click: the draining points, the scoring by difficulty, the corner of gravity, boards
// with one colour more, winning and losing, the pause and the screens.
#include <algorithm>
#include <cstdlib>

#include "VariantTestSupport.h"
#include "variants/SpeedGame.h"

using namespace testing_support;

namespace {

// A group of four 1s (clicked at column 2), an upright pair of 3s that survives the collapse,
// and a lone 2 at column 6.
const std::vector<std::string_view> groupPairAndLoneTile = {"1...3..", "111.3.2"};
const std::vector<std::string_view> noMoves = {"1212", "2121"};

class SpeedGameTest : public VariantTest {
protected:
    // A game of this difficulty on this board, its clock running since `since` ms ago.
    void start(int16_t difficulty, const std::vector<std::string_view>& rows, uint32_t since = 0)
    {
        game = std::make_unique<SpeedGame>(difficulty);
        game->board = boardFromBottomRows(rows);
        game->startTicks = clock.now();
        clock.advance(since);
    }

    std::unique_ptr<SpeedGame> game;
};

// A tick that takes the points below 0 loses at once; one that leaves 0 goes on.
TEST_F(SpeedGameTest, TicksDrainByDifficultyOnlyWhileTheClockRunsAndWastedClicksCostTwice)
{
    const struct {
        int16_t difficulty, colours, points, drain;
    } cases[] = {{0, 3, 100, 5}, {1, 2, 200, 3}, {2, 2, 300, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.difficulty);
        game = std::make_unique<SpeedGame>(c.difficulty);
        EXPECT_EQ(game->colourCount, c.colours);
        game->board = boardFromBottomRows(groupPairAndLoneTile);

        game->tick();
        game->click(pixelOf(3), 590);
        EXPECT_EQ(game->points, c.points) << "the clock has not started, and below the board costs nothing";
        game->click(pixelOf(10), pixelOf(3));
        EXPECT_EQ(game->points, c.points - 2 * c.drain) << "empty cell";
        EXPECT_EQ(game->startTicks, 0u);
        game->click(pixelOf(6), pixelOf(17));
        EXPECT_EQ(game->points, c.points - 4 * c.drain) << "lone tile";
        EXPECT_EQ(game->startTicks, clock.now());
        EXPECT_EQ(game->cell(6, 17), 2);
        game->tick();
        EXPECT_EQ(game->points, c.points - 5 * c.drain);

        game->points = 3;
        clock.advance(4000);
        game->tick();
        EXPECT_EQ(game->points, 3 - c.drain);
        EXPECT_EQ(game->state, c.difficulty == 0 ? GameResults : Playing);
        if (c.difficulty == 0) {
            EXPECT_EQ(game->finalScore, 4 + 300) << "seconds and colours only";
        }
    }
}

TEST_F(SpeedGameTest, RemovalPaysOnlyWhileColoursExceedDifficultyByMoreThanOne)
{
    const struct {
        int16_t difficulty, colours, gain;
    } cases[] = {{0, 3, 6}, {1, 2, 0}, {1, 3, 3}, {2, 2, 0}, {2, 7, 12}};  // (colours - difficulty - 1) * 3
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "difficulty " << c.difficulty << ", colours " << c.colours);
        start(c.difficulty, groupPairAndLoneTile);
        game->colourCount = c.colours;
        const int before = game->points;
        game->click(pixelOf(2), pixelOf(17));
        EXPECT_EQ(game->points, before + c.gain);
        EXPECT_EQ(game->occupiedCells(), 3);
        EXPECT_EQ(game->colourCount, c.colours) << "moves are left, so no new board";
    }
}

// The first seed from 1 on whose first rand() % 4 is `corner`.
unsigned seedForCorner(int corner)
{
    for (unsigned seed = 1;; ++seed) {
        std::srand(seed);
        if (std::rand() % 4 == corner)
            return seed;
    }
}

TEST_F(SpeedGameTest, TenthTileClickDrawsTheCornerBeforeItsOwnCollapse)
{
    const struct {
        int corner;
        int16_t row, column, tileClicksBefore;
    } cases[] = {{0, 17, 0, 9}, {1, 17, 24, 9}, {2, 0, 24, 9}, {3, 0, 0, 9}, {1, 8, 12, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "corner " << c.corner << " after " << c.tileClicksBefore);
        start(0, {"...3", "1123"});
        game->gravityRow = 8;  // a point no corner has, to see whether a corner was drawn
        game->gravityColumn = 12;
        game->tileClicks = c.tileClicksBefore;
        std::srand(seedForCorner(c.corner));
        game->click(pixelOf(0), pixelOf(17));
        EXPECT_EQ(game->gravityRow, c.row);
        EXPECT_EQ(game->gravityColumn, c.column);
        if (c.tileClicksBefore == 9) {  // this click's collapse already gathers at the new corner
            EXPECT_EQ(game->cell(c.column, c.row), c.column == 0 ? 2 : 3);
        }
    }
}

TEST_F(SpeedGameTest, BoardWithoutMovesIsFollowedByOneWithAnotherColourAndTheSeventhWins)
{
    const struct {
        int16_t difficulty, colours, pointsBefore, pointsAfter;
        int32_t finalScore;  // 0: still playing
    } cases[] = {
        {0, 4, 100, 103, 0},     // the pair pays (4 - 0 - 1) * 1, the next board nothing
        {1, 4, 100, 142, 0},     // (4 - 1 - 1) * 1, then 40
        {2, 4, 100, 181, 0},     // (4 - 2 - 1) * 1, then 80
        {0, 7, 144, 150, 1150},  // won at Leicht: 200 s + 8 * 1 * 100 + 150 + 0
        {2, 7, 146, 150, 4750},  // won at Schwer: 200 s + 8 * 3 * 100 + 150 + 2000
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "difficulty " << c.difficulty << ", colours " << c.colours);
        start(c.difficulty, {"3..", "411"}, 200000);
        game->colourCount = c.colours;
        game->points = c.pointsBefore;
        game->click(pixelOf(1), pixelOf(17));
        EXPECT_EQ(game->points, c.pointsAfter);
        EXPECT_EQ(game->colourCount, c.colours + 1);
        EXPECT_EQ(game->finalScore, c.finalScore);
        EXPECT_EQ(game->state, c.finalScore == 0 ? Playing : GameResults);
        if (c.finalScore == 0) {
            EXPECT_EQ(game->occupiedCells(), BoardCells);
            EXPECT_EQ(*std::max_element(game->board.begin(), game->board.end()), c.colours + 1);
        } else {
            EXPECT_EQ(game->seconds, 200);
            EXPECT_EQ(game->occupiedCells(), 2) << "the last tiles stay";
        }
    }
}

// A click that loses keeps the board, the points and the colours of that moment: on a board
// without moves it must not also deal the next board, nor count as a win on the seventh.
TEST_F(SpeedGameTest, LosingClickKeepsTheBoardAndEndsOnlyOnce)
{
    const struct {
        const char* what;
        int16_t difficulty, colours;
        int x, y;
        int32_t finalScore;
    } cases[] = {
        {"Mittel, 4 colours, lone tile: 100 + 4 * 2 * 100", 1, 4, pixelOf(2), pixelOf(17), 900},
        {"Leicht, 7 colours, lone tile", 0, 7, pixelOf(1), pixelOf(16), 100 + 700},
        {"Leicht, 7 colours, empty cell", 0, 7, pixelOf(9), pixelOf(9), 100 + 700},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        start(c.difficulty, noMoves, 100000);
        game->colourCount = c.colours;
        game->points = 2 * game->drainPerTick - 1;
        game->click(c.x, c.y);
        EXPECT_EQ(game->state, GameResults);
        EXPECT_EQ(game->colourCount, c.colours);
        EXPECT_EQ(game->board, boardFromBottomRows(noMoves));
        EXPECT_EQ(game->points, -1);
        EXPECT_EQ(game->finalScore, c.finalScore);
    }
}

TEST_F(SpeedGameTest, PauseLabelPausesEachSpanCountsByItselfAndAFinishedGameIsNeverPaused)
{
    game = std::make_unique<SpeedGame>(0);
    game->board = boardFromBottomRows(groupPairAndLoneTile);
    expectPauseCycle(*game, game->pauseButton, game->seconds, 2, 17, clock);
    EXPECT_EQ(game->tileClicks, 0);
    EXPECT_EQ(game->points, 100) << "a paused clock drains nothing";
}

TEST_F(SpeedGameTest, ScreensLineByLineWhilePlayingWhenWonAndWhenLost)
{
    const auto ended = [](int16_t difficulty, int16_t points, int16_t seconds, int16_t colours, int32_t finalScore) {
        return [=](SpeedGame& g) {
            g.state = GameResults;
            g.difficulty = difficulty, g.points = points, g.seconds = seconds, g.colourCount = colours;
            g.finalScore = finalScore;
        };
    };
    start(1, groupPairAndLoneTile);
    expectScreens<SpeedGame>(*game, {
        {"playing", [](SpeedGame&) {}, statusBar("Punkte: 200", "(pause)", "M\xF6glichkeiten: 6")},
        {"won at Schwer", ended(2, 150, 200, 8, 4750),
         resultScreen({"Endeergebniss des Spiels", titleRule, "RestPunkte: 150", "Zeit: 200 Sekunden", "Farben: 8",
                       "Schwierigkeit: Schwer", "-> Bonus: 2400", "-> GewinnBonus: 2000", totalRule,
                       "Gesamtergebniss: 4750"},
                      "Gewonnen!")},
        {"lost at Mittel", ended(1, -5, 100, 4, 900),
         resultScreen({"Endeergebniss des Spiels", titleRule, "RestPunkte: 0", "Zeit: 100 Sekunden", "Farben: 4",
                       "Schwierigkeit: Mittel", "-> Bonus: 800", "", totalRule, "Gesamtergebniss: 900"},
                      "Leider Verloren!")},
        {"lost at Leicht", ended(0, -2, 4, 3, 304),
         resultScreen({"Endeergebniss des Spiels", titleRule, "RestPunkte: 0", "Zeit: 4 Sekunden", "Farben: 3",
                       "Schwierigkeit: Leicht", "-> Bonus: 300", "", totalRule, "Gesamtergebniss: 304"},
                      "Leider Verloren!")},
    });
}

TEST_F(SpeedGameTest, HighscoreRowCarriesTheDifficultyInTheSavedFile)
{
    const char* rows[] = {"Abc (L);501", "Abc (M);502", "Abc (S);503"};
    for (int16_t difficulty : {0, 1, 2}) {
        auto speed = std::make_unique<SpeedGame>(difficulty);
        speed->finalScore = 501 + difficulty;
        expectSavedRow(std::move(speed), "Abc", dir, "Data/var3.hsc", rows[difficulty]);
    }
}

}  // namespace
