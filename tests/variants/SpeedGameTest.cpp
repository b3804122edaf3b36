// Speed Click: the draining points, the clock with its pauses, the scoring by difficulty, the
// corner of gravity, boards with one colour more, winning and losing, and the result screen.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "VariantTestSupport.h"
#include "variants/SpeedGame.h"

using namespace testing_support;

namespace {

// A group of four 1s (clicked at column 2), an upright pair of 3s that survives the collapse,
// and a lone 2 at column 6.
const std::vector<std::string_view> groupPairAndLoneTile = {
    "1...3..",
    "111.3.2",
};

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
        EXPECT_EQ(game->points, c.points);
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
        EXPECT_EQ(game->tileClicks, 1);
        EXPECT_EQ(game->cell(6, 17), 2);

        game->tick();
        EXPECT_EQ(game->points, c.points - 5 * c.drain);
        EXPECT_EQ(game->state, Playing);

        game->points = 3;
        clock.advance(4000);
        game->tick();
        EXPECT_EQ(game->points, 3 - c.drain);
        if (c.difficulty > 0) {
            EXPECT_EQ(game->state, Playing);
            continue;
        }
        EXPECT_EQ(game->state, GameResults);
        EXPECT_EQ(game->finalScore, 4 + 300);
        TextRecorder recorder;
        game->draw();
        EXPECT_TRUE(recorder.contains("Leider Verloren!"));
        EXPECT_TRUE(recorder.contains("RestPunkte: 0"));
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

TEST_F(SpeedGameTest, BoardWithoutMovesIsFollowedByOneWithAnotherColour)
{
    for (int16_t difficulty : {0, 1, 2}) {
        SCOPED_TRACE(difficulty);
        start(difficulty, {"1", "1", "2"});
        game->colourCount = 4;
        const int before = game->points;
        game->click(pixelOf(0), pixelOf(16));
        EXPECT_EQ(game->colourCount, 5);
        EXPECT_EQ(game->points, before + std::max(4 - difficulty - 1, 0) + difficulty * 40);
        EXPECT_EQ(game->occupiedCells(), BoardCells);
        EXPECT_EQ(*std::max_element(game->board.begin(), game->board.end()), 5);
        EXPECT_EQ(game->state, Playing);
    }
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
        EXPECT_EQ(game->seconds, 100);
        EXPECT_EQ(game->finalScore, c.finalScore);
    }
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
    start(1, groupPairAndLoneTile);
    TextRecorder recorder;
    game->draw();
    expectTexts(recorder.texts, statusBar("Punkte: 200", "(pause)", "M\xF6glichkeiten: 6"));
    game->click(game->pauseButton.x + 1, game->pauseButton.y + 1);
    EXPECT_EQ(game->state, Paused);
    recorder.clear();
    game->draw();
    expectTexts(recorder.texts, {pauseWord});

    for (GameState finished : {GameResults, NameEntry, ShowHighscores}) {
        SCOPED_TRACE(finished);
        game->state = finished;
        game->startTicks = 0;
        game->leave();
        EXPECT_EQ(game->state, finished);
    }
}

TEST_F(SpeedGameTest, ResultScreenLinesWhenWonAndWhenLost)
{
    const struct {
        const char* what;
        int16_t difficulty, points, seconds, colours;
        int32_t finalScore;
        std::string heading, restPoints, winBonus;
    } cases[] = {
        {"won at Schwer", 2, 150, 200, 8, 4750, "Gewonnen!", "RestPunkte: 150", "-> GewinnBonus: 2000"},
        {"lost at Mittel", 1, -5, 100, 4, 900, "Leider Verloren!", "RestPunkte: 0", ""},
    };
    const char* labels[] = {"Leicht", "Mittel", "Schwer"};
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
        expectTexts(recorder.texts, resultScreen({
            "Endeergebniss des Spiels", std::string(29, '~'), c.restPoints,
            "Zeit: " + std::to_string(c.seconds) + " Sekunden", "Farben: " + std::to_string(c.colours),
            std::string("Schwierigkeit: ") + labels[c.difficulty],
            "-> Bonus: " + std::to_string((c.difficulty + 1) * c.colours * 100), c.winBonus, std::string(37, '-'),
            "Gesamtergebniss: " + std::to_string(c.finalScore),
        }, c.heading));
    }
}

TEST_F(SpeedGameTest, HighscoreRowCarriesTheDifficultyInTheSavedFile)
{
    const char* rows[] = {"Abc (L);501\n", "Abc (M);502\n", "Abc (S);503\n"};
    for (int16_t difficulty : {0, 1, 2}) {
        game = std::make_unique<SpeedGame>(difficulty);
        game->state = GameResults;
        game->finalScore = 501 + difficulty;
        enterNameThroughContinue(*game, "Abc");
        game.reset();
        EXPECT_NE(dir.readFile("Data/var3.hsc").find(rows[difficulty]), std::string::npos) << rows[difficulty];
    }
}

}  // namespace
