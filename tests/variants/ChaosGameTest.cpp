// Chaos Click: gravity after each click into the board, the bonus, the screens; each variant's list suffix.
#include <cstdlib>
#include <tuple>

#include "VariantTestSupport.h"
#include "variants/ChaosGame.h"
#include "variants/FallDownGame.h"
#include "variants/SpeedGame.h"

using namespace testing_support;

namespace {

class ChaosGameTest : public VariantTest {
protected:
    std::unique_ptr<ChaosGame> game = std::make_unique<ChaosGame>(3);
};

// A group of five 1s (lowest middle tile at column 2), a lone 2 at column 0, a pair of 3s that survives.
const std::vector<std::string_view> groupPairAndLoneTile = {".1.....", ".1....3", "2111..3"};

// The new point of gravity takes the next two random numbers, the row before the column.
TEST_F(ChaosGameTest, StatusBarAndEveryClickIntoTheBoardMovesGravityButOneBesideItDoesNot)
{
    const struct { const char* what; int x, y, clicks, points, tilesLeft; } cases[] = {
        {"group of five with three colours: 4 * 4", pixelOf(2), pixelOf(17), 1, 16, 3},
        {"empty cell", pixelOf(10), pixelOf(3), 0, 0, 8},
        {"lone tile", pixelOf(0), pixelOf(17), 1, 0, 8},
        {"below the board", pixelOf(3), 590, 0, 0, 8},
        {"left of the window, although -1 divides to column 0", -1, pixelOf(17), 0, 0, 8},
    };
    game->board = boardFromBottomRows(groupPairAndLoneTile);
    game->points = 42, game->clicks = 7;
    EXPECT_EQ(shown(*game), statusBar("Punkte: 42", "Klicks: 7", "M\xF6glichkeiten: 7"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        game = std::make_unique<ChaosGame>(3);
        game->board = boardFromBottomRows(groupPairAndLoneTile);
        std::srand(20240611);
        const int firstDraw = std::rand();
        const int16_t row = int16_t(firstDraw % 18), column = int16_t(std::rand() % 25);
        const bool onBoard = c.x >= 0 && c.y < 576;
        std::srand(20240611);
        game->gravityRow = 17, game->gravityColumn = 0;
        game->click(c.x, c.y);
        EXPECT_EQ(game->clicks, c.clicks);
        EXPECT_EQ(game->startTicks, c.clicks != 0 ? clock.now() : 0u) << "only a tile starts the clock";
        EXPECT_EQ(game->points, c.points);
        EXPECT_EQ(game->occupiedCells(), c.tilesLeft);
        EXPECT_EQ(game->gravityRow, onBoard ? row : 17);
        EXPECT_EQ(game->gravityColumn, onBoard ? column : 0);
        if (onBoard) {
            EXPECT_GT(game->cell(column, row), 0) << "the tiles gather around the point of gravity";
        } else {
            EXPECT_EQ(std::rand(), firstDraw) << "no random number may be used up";
            EXPECT_EQ(game->board, boardFromBottomRows(groupPairAndLoneTile));
        }
    }
}

TEST_F(ChaosGameTest, BonusFollowsPointsPerClickTilesLeftColoursAndTimeOnTheResultScreen)
{
    const struct {
        const char* what;
        int16_t points, clicks, tiles, colours;
        uint32_t millis;
        int bonus;
        std::string screen = "";
    } cases[] = {
        {"worked example: (15 - 2)^3 / 120", 900, 60, 9, 4, 120000, 18,
         endScreen({"Punkte: 900", "Klicks: 60", "Punkte pro Klick: 15", "Nicht entfernt: 2 %",
                    "Schwierigkeit: 4 Farben", "Ben\xF6tigte Zeit: 120 Sekunden", "-> Bonus: 18 Punkte"}, "918 Punkte")},
        {"6 per click, 10 % left", 60, 10, 45, 3, 5000, 0},
        {"difference 1 divided by 2 seconds", 12, 2, 23, 3, 2500, 0},
        {"difference 1 within the first second", 12, 2, 23, 3, 900, 1},
        {"20^4 keeps its low 16 bits", 200, 10, 0, 5, 900, 28928},
        {"15^4 wraps to a negative number", 150, 10, 0, 5, 3000, 0},
        {"click counter wrapped to 0: line 4 stays empty", 500, 0, 0, 5, 4000, 0,
         endScreen({"Punkte: 500", "Klicks: 0", "", "Nicht entfernt: 0 %", "Schwierigkeit: 5 Farben",
                    "Ben\xF6tigte Zeit: 4 Sekunden", "-> Bonus: 0 Punkte"}, "500 Punkte")},
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
        EXPECT_EQ(game->seconds, int16_t(c.millis / 1000));
        EXPECT_EQ(game->state, GameResults);
        if (!c.screen.empty()) {
            EXPECT_EQ(shown(*game), c.screen);
        }
    }
    game->startTicks = 0;  // a clock that never started has measured nothing
    game->finishGame();
    EXPECT_EQ(game->seconds, 0);
}

// Chaos names the colour count, Speed the difficulty, FallDown nothing (Standart: its whole game).
using SavedRows = VariantTest;
TEST_F(SavedRows, EachVariantAddsItsSuffixToTheTypedName)
{
    continueButton = SDL_Rect{360, 576, 80, 22};
    auto* chaos = new ChaosGame(4);
    chaos->points = 900, chaos->bonus = 18;  // "weiter" adds them up
    const std::tuple<Game*, const char*, int32_t, std::string> cases[] = {
        {chaos, "Data/var2.hsc", 0, "Abc (4);918"}, {new SpeedGame(0), "Data/var3.hsc", 501, "Abc (L);501"},
        {new SpeedGame(1), "Data/var3.hsc", 502, "Abc (M);502"},
        {new SpeedGame(2), "Data/var3.hsc", 503, "Abc (S);503"}, {new FallDownGame(), "Data/var4.hsc", 795, "Abc;795"}};
    for (const auto& [game, file, score, row] : cases) {
        game->finalScore = score;
        game->state = GameResults;
        game->click(400, 580);
        game->playerName = "Abc";
        game->click(400, 580);
        EXPECT_EQ(game->state, ShowHighscores);
        delete game;
        EXPECT_NE(dir.readFile(file).find(row + "\n"), std::string::npos) << row;
    }
}

}  // namespace
