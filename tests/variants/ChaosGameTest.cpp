// Chaos Click: gravity after each click into the board, the bonus, the screens; each variant's list suffix.
#include <cstdlib>
#include <tuple>

#include "VariantTestSupport.h"
#include "variants/ChaosGame.h"
#include "variants/FallDownGame.h"
#include "variants/SpeedGame.h"

using namespace testing_support;

namespace {

using ChaosGameTest = VariantTest;

// A group of five 1s (lowest middle tile at column 2), a lone 2 at column 0, a pair of 3s that survives.
const std::vector<std::string_view> groupPairAndLoneTile = {".1.....", ".1....3", "2111..3"};

// The new point of gravity takes the next two random numbers, the row before the column.
TEST_F(ChaosGameTest, StatusBarAndEveryClickIntoTheBoardMovesGravityButOneBesideItDoesNot)
{
    const struct { int x, y, clicks, points, tilesLeft; } cases[] = {
        {pixelOf(2), pixelOf(17), 1, 16, 3},  // a group of five with three colours: 4 * 4
        {pixelOf(10), pixelOf(3), 0, 0, 8},   // an empty cell
        {pixelOf(0), pixelOf(17), 1, 0, 8},   // a lone tile
        {pixelOf(3), 590, 0, 0, 8},           // below the board
        {-1, pixelOf(17), 0, 0, 8},           // left of the window, although -1 / 32 is column 0
    };
    auto game = std::make_unique<ChaosGame>(3);
    game->board = boardFromBottomRows(groupPairAndLoneTile);
    game->points = 42, game->clicks = 7;
    EXPECT_EQ(shown(*game), statusBar("Punkte: 42", "Klicks: 7", "M\xF6glichkeiten: 7"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        game = std::make_unique<ChaosGame>(3);
        game->board = boardFromBottomRows(groupPairAndLoneTile);
        std::srand(20240611);
        const int firstDraw = std::rand(), row = firstDraw % 18, column = std::rand() % 25;
        const bool onBoard = c.x >= 0 && c.y < 576;
        std::srand(20240611);
        game->gravityRow = 17, game->gravityColumn = 0;
        game->click(c.x, c.y);
        EXPECT_EQ(std::make_tuple(int(game->clicks), int(game->points), game->occupiedCells()),
                  std::make_tuple(c.clicks, c.points, c.tilesLeft));
        EXPECT_EQ(game->startTicks, c.clicks != 0 ? clock.now() : 0u) << "only a tile starts the clock";
        EXPECT_EQ(std::make_pair(int(game->gravityRow), int(game->gravityColumn)),
                  onBoard ? std::make_pair(row, column) : std::make_pair(17, 0));
        if (onBoard) {
            EXPECT_GT(game->cell(column, row), 0) << "the tiles gather around the point of gravity";
        } else {
            EXPECT_EQ(std::rand(), firstDraw) << "no random number used up";
            EXPECT_EQ(game->board, boardFromBottomRows(groupPairAndLoneTile));
        }
    }
}

TEST_F(ChaosGameTest, BonusFollowsPointsPerClickTilesLeftColoursAndTimeOnTheResultScreen)
{
    ChaosGame game(3);
    const struct { int16_t points, clicks, tiles, colours; uint32_t millis; int bonus; std::string screen = ""; }
    cases[] = {
        {900, 60, 9, 4, 120000, 18,  // (15 - 2)^3 / 120
         endScreen({"Punkte: 900", "Klicks: 60", "Punkte pro Klick: 15", "Nicht entfernt: 2 %",
                    "Schwierigkeit: 4 Farben", "Ben\xF6tigte Zeit: 120 Sekunden", "-> Bonus: 18 Punkte"},
                   "918 Punkte")},
        {60, 10, 45, 3, 5000, 0},     // (6 - 10)^3 is negative
        {12, 2, 23, 3, 900, 1},       // within the first second: undivided
        {200, 10, 0, 5, 900, 28928},  // 20^4 keeps its low 16 bits
        {150, 10, 0, 5, 3000, 0},     // 15^4 wraps to a negative number
        {500, 0, 0, 5, 4000, 0},      // the click counter wrapped to 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.points);
        game.colourCount = c.colours, game.points = c.points, game.clicks = c.clicks;
        game.board = loneTiles(c.tiles);
        game.startTicks = clock.now();
        clock.advance(c.millis);
        game.finishGame();
        EXPECT_EQ(std::make_tuple(int(game.bonus), int(game.tilesLeft), int(game.seconds), int(game.state)),
                  std::make_tuple(c.bonus, int(c.tiles), int(c.millis / 1000), int(GameResults)));
        EXPECT_EQ(c.screen.empty() ? "" : shown(game), c.screen);
    }
    EXPECT_EQ(shown(game).find(" @0,150 "), std::string::npos) << "without clicks line 4 stays empty";
    game.startTicks = 0;  // a clock that never started has measured nothing
    game.finishGame();
    EXPECT_EQ(game.seconds, 0);
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
        game->finalScore = score, game->state = GameResults;
        game->click(400, 580);
        game->playerName = "Abc";
        game->click(400, 580);
        EXPECT_EQ(game->state, ShowHighscores);
        delete game;
        EXPECT_NE(dir.readFile(file).find(row + "\n"), std::string::npos) << row;
    }
}

}  // namespace
