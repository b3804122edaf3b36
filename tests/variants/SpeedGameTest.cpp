// Speed Click: the draining points, the clock with its pauses, the scoring by difficulty, the
// corner of gravity, boards with one colour more, winning and losing, and the result screen.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "VariantTestSupport.h"
#include "game/Game.h"
#include "variants/SpeedGame.h"

using namespace testing_support;

namespace {

// A group of four 1s (clicked at column 2), an upright pair of 3s that survives the collapse,
// and a lone 2 at column 6.
const std::vector<std::string_view> groupPairAndLoneTile = {
    "1...3..",
    "111.3.2",
};
const int loneColumn = 6;

// Lone tiles only: no move anywhere.
const std::vector<std::string_view> noMoves = {"1212", "2121"};

class SpeedGameTest : public VariantTest {
protected:
    // A game of this difficulty with the given board and its clock running since `since` ms ago.
    void start(int16_t difficulty, const std::vector<std::string_view>& rows, uint32_t since = 0)
    {
        game = std::make_unique<SpeedGame>(difficulty);
        game->board = boardFromBottomRows(rows);
        game->startTicks = clock.now();
        clock.advance(since);
    }

    DummyScreen screen{true};
    std::unique_ptr<SpeedGame> game;
};

TEST_F(SpeedGameTest, DifficultySetsColoursPointsAndDrain)
{
    const struct {
        int16_t difficulty, colours, points, drain;
    } cases[] = {{0, 3, 100, 5}, {1, 2, 200, 3}, {2, 2, 300, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.difficulty);
        SpeedGame fresh(c.difficulty);
        EXPECT_EQ(fresh.colourCount, c.colours);
        EXPECT_EQ(fresh.points, c.points);
        EXPECT_EQ(fresh.drainPerTick, c.drain);
        EXPECT_EQ(fresh.gravityRow, 17);
        EXPECT_EQ(fresh.gravityColumn, 0);
        EXPECT_EQ(fresh.state, Playing);
        EXPECT_EQ(fresh.startTicks, 0u);
        for (uint16_t value : fresh.board)
            ASSERT_TRUE(value >= 1 && value <= c.colours) << value;
    }
}

TEST_F(SpeedGameTest, TicksDrainOnlyWhileTheClockRunsAndWastedClicksCostTwice)
{
    const struct {
        int16_t difficulty, drain;
    } cases[] = {{0, 5}, {1, 3}, {2, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.difficulty);
        game = std::make_unique<SpeedGame>(c.difficulty);
        game->board = boardFromBottomRows(groupPairAndLoneTile);
        int expected = game->points;

        game->tick();
        EXPECT_EQ(game->points, expected) << "the clock has not started";
        game->click(pixelOf(3), 590);
        EXPECT_EQ(game->points, expected) << "below the board";
        game->click(pixelOf(10), pixelOf(3));
        expected -= 2 * c.drain;
        EXPECT_EQ(game->points, expected) << "empty cell";
        EXPECT_EQ(game->startTicks, 0u);
        EXPECT_EQ(game->tileClicks, 0);

        game->click(pixelOf(loneColumn), pixelOf(17));
        expected -= 2 * c.drain;
        EXPECT_EQ(game->points, expected) << "lone tile";
        EXPECT_EQ(game->startTicks, clock.now());
        EXPECT_EQ(game->tileClicks, 1);
        EXPECT_EQ(game->cell(loneColumn, 17), 2);

        game->tick();
        expected -= c.drain;
        EXPECT_EQ(game->points, expected);
        EXPECT_EQ(game->state, Playing);
    }
}

TEST_F(SpeedGameTest, RemovalPaysOnlyWhileColoursExceedDifficultyByMoreThanOne)
{
    const struct {
        int16_t difficulty, colours, gain;
    } cases[] = {
        {0, 3, 6},  // (3 - 0 - 1) * 3
        {1, 2, 0},  // factor 0
        {1, 3, 3},
        {1, 4, 6},
        {2, 2, 0},  // factor -1 takes nothing away
        {2, 3, 0},
        {2, 4, 3},
        {2, 7, 12},
    };
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
        int16_t row, column;
    } corners[] = {{0, 17, 0}, {1, 17, 24}, {2, 0, 24}, {3, 0, 0}};
    for (const auto& c : corners) {
        SCOPED_TRACE(c.corner);
        start(0, {"...3", "1123"});
        game->gravityRow = 8;  // a point no corner has, to see that the corner was drawn
        game->gravityColumn = 12;
        game->tileClicks = 9;
        std::srand(seedForCorner(c.corner));
        game->click(pixelOf(0), pixelOf(17));
        EXPECT_EQ(game->tileClicks, 10);
        EXPECT_EQ(game->gravityRow, c.row);
        EXPECT_EQ(game->gravityColumn, c.column);
        EXPECT_EQ(game->cell(c.column, c.row), c.corner == 0 || c.corner == 3 ? 2 : 3)
            << "this click's collapse already gathers at the new corner";
    }
    start(0, {"...3", "1123"});
    game->tileClicks = 8;
    game->click(pixelOf(0), pixelOf(17));
    EXPECT_EQ(game->gravityRow, 17);
    EXPECT_EQ(game->gravityColumn, 0);
    EXPECT_EQ(game->cell(1, 17), 3);
    EXPECT_EQ(game->cell(0, 17), 2);
}

TEST_F(SpeedGameTest, BoardWithoutMovesIsFollowedByOneWithAnotherColour)
{
    for (int16_t difficulty : {0, 1, 2}) {
        SCOPED_TRACE(difficulty);
        start(difficulty, {"1", "1", "2"});
        game->colourCount = 4;
        const int before = game->points;
        game->click(pixelOf(0), pixelOf(16));
        EXPECT_EQ(game->colourCount, 5);
        EXPECT_EQ(game->points, before + (4 - difficulty - 1 > 0 ? 4 - difficulty - 1 : 0) + difficulty * 40);
        EXPECT_EQ(game->occupiedCells(), BoardCells);
        for (uint16_t value : game->board)
            ASSERT_TRUE(value >= 1 && value <= 5) << value;
        EXPECT_EQ(game->state, Playing);
    }
}

TEST_F(SpeedGameTest, TickBelowZeroLosesButZeroPlaysOn)
{
    const struct {
        int16_t difficulty, points;
        int32_t state;
    } cases[] = {{0, -2, GameResults}, {1, 0, Playing}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.difficulty);
        start(c.difficulty, groupPairAndLoneTile, 4000);
        game->points = 3;
        game->tick();
        EXPECT_EQ(game->points, c.points);
        EXPECT_EQ(game->state, c.state);
    }
    start(0, groupPairAndLoneTile, 4000);
    game->points = 3;
    game->tick();
    EXPECT_EQ(game->finalScore, 4 + 300);
    TextRecorder recorder;
    game->draw();
    EXPECT_TRUE(recorder.contains("Leider Verloren!"));
    EXPECT_TRUE(recorder.contains("RestPunkte: 0"));
}

TEST_F(SpeedGameTest, WinsAfterTheSevenColourBoard)
{
    const struct {
        int16_t difficulty, pointsBefore;
        int32_t finalScore;
    } cases[] = {
        {0, 144, 1150},  // 200 + 8 * 1 * 100 + 150 + 0
        {2, 146, 4750},  // 200 + 8 * 3 * 100 + 150 + 2000
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.difficulty);
        start(c.difficulty, {"3..", "411"}, 200000);
        game->colourCount = 7;
        game->points = c.pointsBefore;
        game->click(pixelOf(1), pixelOf(17));
        EXPECT_EQ(game->state, GameResults);
        EXPECT_EQ(game->points, 150);
        EXPECT_EQ(game->colourCount, 8);
        EXPECT_EQ(game->seconds, 200);
        EXPECT_EQ(game->finalScore, c.finalScore);
        EXPECT_EQ(game->occupiedCells(), 2) << "the last tiles stay";
    }
}

TEST_F(SpeedGameTest, LosingClickKeepsTheBoardAndEndsOnlyOnce)
{
    // "Mittel" on its 4-colour board after 100 s: 100 + 4 * 2 * 100; nothing for the points.
    start(1, noMoves, 100000);
    game->colourCount = 4;
    game->points = 1;
    game->click(pixelOf(2), pixelOf(17));
    EXPECT_EQ(game->state, GameResults);
    EXPECT_EQ(game->points, -5);
    EXPECT_EQ(game->finalScore, 900);

    // On the seven-colour board without moves the losing click must not count as a win too.
    const struct {
        const char* what;
        int x, y;
    } clicks[] = {{"lone tile", pixelOf(1), pixelOf(16)}, {"empty cell", pixelOf(9), pixelOf(9)}};
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.what);
        start(0, noMoves, 10000);
        game->colourCount = 7;
        game->points = 5;
        game->click(c.x, c.y);
        EXPECT_EQ(game->state, GameResults);
        EXPECT_EQ(game->colourCount, 7);
        EXPECT_EQ(game->board, boardFromBottomRows(noMoves));
        EXPECT_EQ(game->points, -5);
        EXPECT_EQ(game->seconds, 10);
        EXPECT_EQ(game->finalScore, 10 + 700);
    }
}

TEST_F(SpeedGameTest, GameLostBeforeItsClockRanCountsNoSeconds)
{
    game = std::make_unique<SpeedGame>(0);
    game->board = boardFromBottomRows(noMoves);
    game->points = 5;
    game->click(pixelOf(9), pixelOf(9));
    EXPECT_EQ(game->state, GameResults);
    EXPECT_EQ(game->seconds, 0);
    EXPECT_EQ(game->finalScore, 300);
}

TEST_F(SpeedGameTest, PauseAddsEachSpanTruncatedAndAClickOnlyResumes)
{
    game = std::make_unique<SpeedGame>(0);
    game->board = boardFromBottomRows(groupPairAndLoneTile);
    clock.advance(5000);
    game->leave();
    EXPECT_EQ(game->state, Paused);
    EXPECT_EQ(game->seconds, 0) << "the clock had not started";

    for (int span = 1; span <= 2; ++span) {
        game->click(pixelOf(2), pixelOf(17));
        EXPECT_EQ(game->state, Playing);
        EXPECT_EQ(game->startTicks, clock.now());
        EXPECT_EQ(game->board, boardFromBottomRows(groupPairAndLoneTile)) << "the tile stays";
        EXPECT_EQ(game->tileClicks, 0);
        clock.advance(1900);
        game->leave();
        EXPECT_EQ(game->seconds, span);
        EXPECT_EQ(game->startTicks, 0u);
    }
    game->tick();
    EXPECT_EQ(game->points, 100) << "a paused clock drains nothing";
}

TEST_F(SpeedGameTest, PauseLabelPausesAndAFinishedGameIsNeverPaused)
{
    start(0, groupPairAndLoneTile);
    game->draw();
    ASSERT_GT(game->pauseButton.w, 0);
    game->click(game->pauseButton.x + 1, game->pauseButton.y + 1);
    EXPECT_EQ(game->state, Paused);
    TextRecorder recorder;
    game->draw();
    expectTexts(recorder.texts, {pauseWord});

    for (int32_t finished : {GameResults, NameEntry, ShowHighscores}) {
        SCOPED_TRACE(finished);
        game->state = finished;
        game->startTicks = 0;
        game->leave();
        EXPECT_EQ(game->state, finished);
    }
}

TEST_F(SpeedGameTest, PlayingScreenShowsPointsPauseLabelAndMoves)
{
    start(1, groupPairAndLoneTile);
    TextRecorder recorder;
    game->draw();
    const std::vector<DrawnText> expected = {
        {"Punkte: 200", 0, 576, TextAlign::Left, 18},
        {"(pause)", 0, 576, TextAlign::Center, 18},
        {"M\xF6glichkeiten: 6", 0, 576, TextAlign::Right, 18},
    };
    expectTexts(recorder.texts, expected);
}

TEST_F(SpeedGameTest, ResultScreenLinesWhenWonAndWhenLost)
{
    const std::string hyphens(37, '-');
    const struct {
        const char* what;
        int16_t difficulty, points, seconds, colours;
        int32_t finalScore;
        std::string heading;
        std::vector<std::string> lines;  // lines 1 to 10
    } cases[] = {
        {"won at Schwer", 2, 150, 200, 8, 4750, "Gewonnen!",
         {"Endeergebniss des Spiels", "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~", "RestPunkte: 150",
          "Zeit: 200 Sekunden", "Farben: 8", "Schwierigkeit: Schwer", "-> Bonus: 2400", "-> GewinnBonus: 2000",
          hyphens, "Gesamtergebniss: 4750"}},
        {"lost at Mittel", 1, -5, 100, 4, 900, "Leider Verloren!",
         {"Endeergebniss des Spiels", "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~", "RestPunkte: 0",
          "Zeit: 100 Sekunden", "Farben: 4", "Schwierigkeit: Mittel", "-> Bonus: 800", "", hyphens,
          "Gesamtergebniss: 900"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        game = std::make_unique<SpeedGame>(c.difficulty);
        game->state = GameResults;
        game->points = c.points;
        game->seconds = c.seconds;
        game->colourCount = c.colours;
        game->finalScore = c.finalScore;

        TextRecorder recorder;
        game->draw();
        expectTexts(recorder.texts, outcomeScreen(c.heading, c.lines));
    }
}

TEST_F(SpeedGameTest, HighscoreRowCarriesTheDifficultyInTheSavedFile)
{
    const struct {
        int16_t difficulty;
        const char* row;
    } cases[] = {{0, "Abc (L);501\n"}, {1, "Abc (M);502\n"}, {2, "Abc (S);503\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        game = std::make_unique<SpeedGame>(c.difficulty);
        game->state = GameResults;
        game->finalScore = 501 + c.difficulty;
        enterNameThroughContinue(*game, "Abc");
        game.reset();
        EXPECT_NE(dir.readFile("Data/var3.hsc").find(c.row), std::string::npos);
    }
}

}  // namespace
