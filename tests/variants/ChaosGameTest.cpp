// Chaos Click: the random point of gravity after every click into the board, the scoring and
// the end-of-game bonus, the result screen and the suffixed highscore name.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "VariantTestSupport.h"
#include "game/Game.h"
#include "variants/ChaosGame.h"

using namespace testing_support;

namespace {

class ChaosGameTest : public VariantTest {
protected:
    DummyScreen screen{true};
    std::unique_ptr<ChaosGame> game = std::make_unique<ChaosGame>(3);
};

// A group of five in colour 1 (its lowest middle tile at column 2), a lone 2 at column 0
// and an upright pair of 3s in column 6 that survives every collapse.
const std::vector<std::string_view> groupPairAndLoneTile = {
    ".1.....",
    ".1....3",
    "2111..3",
};

TEST_F(ChaosGameTest, ConstructorDrawsRowThenColumnOfGravityBeforeDealingTheBoard)
{
    // The constructor seeds with the time in seconds; retry if the second turned meanwhile.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::time_t before = std::time(nullptr);
        ChaosGame dealt(4);
        if (std::time(nullptr) != before)
            continue;
        std::srand(static_cast<unsigned>(before));
        EXPECT_EQ(dealt.gravityRow, std::rand() % 18);
        EXPECT_EQ(dealt.gravityColumn, std::rand() % 25);
        for (int i = 0; i < BoardCells; ++i)
            ASSERT_EQ(dealt.board[i], std::rand() % 4 + 1) << "cell " << i;
        EXPECT_EQ(dealt.colourCount, 4);
        EXPECT_EQ(dealt.state, Playing);
        EXPECT_EQ(dealt.startTicks, 0u);
        return;
    }
    FAIL() << "the clock kept turning to a new second";
}

TEST_F(ChaosGameTest, RemovingFiveTilesWithThreeColoursScoresSixteen)
{
    game->board = boardFromBottomRows(groupPairAndLoneTile);
    const Board before = game->board;
    game->click(pixelOf(2), pixelOf(17));
    EXPECT_EQ(game->points, 16);
    EXPECT_EQ(game->clicks, 1);
    EXPECT_EQ(game->startTicks, clock.now());
    EXPECT_EQ(game->previousBoard, before);
    EXPECT_EQ(game->occupiedCells(), 3);
    EXPECT_EQ(game->state, Playing);
}

TEST_F(ChaosGameTest, EveryClickIntoTheBoardMovesGravityButOneBelowItDoesNot)
{
    struct Case {
        const char* what;
        int x, y;
        bool recentres;
        int16_t clicks;
    } cases[] = {
        {"empty cell", pixelOf(10), pixelOf(3), true, 0},
        {"lone tile", pixelOf(0), pixelOf(17), true, 1},
        {"below the board", pixelOf(3), 590, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        game = std::make_unique<ChaosGame>(3);
        game->board = boardFromBottomRows(groupPairAndLoneTile);
        game->gravityRow = 17;
        game->gravityColumn = 0;
        const unsigned seed = 20240611;
        std::srand(seed);
        const int firstDraw = std::rand();
        const int16_t row = static_cast<int16_t>(firstDraw % 18);
        const int16_t column = static_cast<int16_t>(std::rand() % 25);
        std::srand(seed);

        game->click(c.x, c.y);

        EXPECT_EQ(game->clicks, c.clicks);
        EXPECT_EQ(game->startTicks, c.clicks != 0 ? clock.now() : 0u) << "only a tile starts the clock";
        EXPECT_EQ(game->points, 0);
        EXPECT_EQ(game->occupiedCells(), 8);
        if (c.recentres) {
            EXPECT_EQ(game->gravityRow, row);
            EXPECT_EQ(game->gravityColumn, column);
            // After a collapse the tiles always hold the point of gravity itself.
            EXPECT_GT(game->cell(column, row), 0);
        } else {
            EXPECT_EQ(game->gravityRow, 17);
            EXPECT_EQ(game->gravityColumn, 0);
            EXPECT_EQ(game->board, boardFromBottomRows(groupPairAndLoneTile));
            EXPECT_EQ(std::rand(), firstDraw) << "no random number may be used up";
        }
    }
}

TEST_F(ChaosGameTest, BonusFollowsPointsPerClickTilesLeftColoursAndTime)
{
    struct Case {
        const char* what;
        int16_t points, clicks;
        int tiles;
        int16_t colours;
        uint32_t millis;
        int16_t bonus;
    } cases[] = {
        {"worked example: (15 - 2)^3 / 120", 900, 60, 9, 4, 120000, 18},
        {"6 per click, 10 % left", 60, 10, 45, 3, 5000, 0},
        {"difference 1 divided by 2 seconds", 12, 2, 23, 3, 2500, 0},
        {"difference 1 within the first second", 12, 2, 23, 3, 900, 1},
        {"20^4 keeps its low 16 bits", 200, 10, 0, 5, 900, 28928},
        {"15^4 wraps to a negative number", 150, 10, 0, 5, 3000, 0},
        {"no click on a tile", 0, 0, 100, 3, 4000, 0},
        {"click counter wrapped to 0", 500, 0, 0, 5, 4000, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        game->colourCount = c.colours;
        game->points = c.points;
        game->clicks = c.clicks;
        game->board = loneTiles(c.tiles);
        game->startTicks = clock.now();
        clock.advance(c.millis);
        game->finishGame();
        EXPECT_EQ(game->bonus, c.bonus);
        EXPECT_EQ(game->tilesLeft, c.tiles);
        EXPECT_EQ(game->seconds, static_cast<int16_t>(c.millis / 1000));
        EXPECT_EQ(game->state, GameResults);
    }
}

TEST_F(ChaosGameTest, ClockThatNeverStartedMeasuresNoSeconds)
{
    game->board = loneTiles(450);
    game->finishGame();
    EXPECT_EQ(game->seconds, 0);
    EXPECT_EQ(game->endTicks, clock.now());
    EXPECT_EQ(game->bonus, 0);
}

TEST_F(ChaosGameTest, ClickThatLeavesNoMoveEndsTheGameAndAWrappedCounterKeepsTheClock)
{
    const struct {
        const char* what;
        int16_t clicksBefore, clicksAfter;
    } cases[] = {
        {"counter wraps to 0 on this click", -1, 0},  // 65,535 clicks so far
        {"counter wrapped on the click before", 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        game = std::make_unique<ChaosGame>(3);
        game->board = boardFromBottomRows({"2.11"});
        game->clicks = c.clicksBefore;
        const uint32_t started = clock.now() - 30000;
        game->startTicks = started;
        game->click(pixelOf(3), pixelOf(17));
        EXPECT_EQ(game->state, GameResults);
        EXPECT_EQ(game->clicks, c.clicksAfter);
        EXPECT_EQ(game->startTicks, started) << "the clock starts only once";
        EXPECT_EQ(game->seconds, 30);
        EXPECT_EQ(game->tilesLeft, 1);
        EXPECT_EQ(game->points, 4);
        EXPECT_EQ(game->bonus, 0);
    }
}

TEST_F(ChaosGameTest, ResultScreenShowsElevenLinesAndLeavesLineFourEmptyWithoutClicks)
{
    game->state = GameResults;
    game->points = 900;
    game->tilesLeft = 9;
    game->colourCount = 4;
    game->seconds = 120;
    game->bonus = 18;
    for (int16_t clicks : {60, 0}) {
        SCOPED_TRACE(clicks);
        game->clicks = clicks;
        const std::vector<DrawnText> expected = resultScreen({
            "Endeergebniss des Spiels",
            "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
            "Punkte: 900",
            "Klicks: " + std::to_string(clicks),
            clicks != 0 ? "Punkte pro Klick: 15" : "",
            "Nicht entfernt: 2 %",
            "Schwierigkeit: 4 Farben",
            "Ben\xF6tigte Zeit: 120 Sekunden",
            "-> Bonus: 18 Punkte",
            "-------------------------------------",
            "Gesamtergebniss: 918 Punkte",
        });

        TextRecorder recorder;
        game->draw();
        expectTexts(recorder.texts, expected);
    }
}

TEST_F(ChaosGameTest, StatusBarShowsPointsClicksAndMoves)
{
    game->board = boardFromBottomRows(groupPairAndLoneTile);
    game->points = 42;
    game->clicks = 7;
    TextRecorder recorder;
    game->draw();
    expectTexts(recorder.texts, {
        {"Punkte: 42", 0, 576, TextAlign::Left, 18},
        {"Klicks: 7", 0, 576, TextAlign::Center, 18},
        {"M\xF6glichkeiten: 7", 0, 576, TextAlign::Right, 18},
    });
}

TEST_F(ChaosGameTest, HighscoreRowCarriesTheColourCountInTheSavedFile)
{
    game = std::make_unique<ChaosGame>(4);
    game->state = GameResults;
    game->points = 900;
    game->bonus = 18;
    enterNameThroughContinue(*game, "Abc");
    EXPECT_EQ(game->finalScore, 918);

    game.reset();
    EXPECT_NE(dir.readFile("Data/var2.hsc").find("Abc (4);918\n"), std::string::npos);
}

}  // namespace
