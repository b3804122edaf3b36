// Standart Click: the level bonus, a level's clicks and clock, the screens, a whole game through the Application.
#include <set>
#include <tuple>

#include "VariantTestSupport.h"
#include "app/Application.h"
#include "variants/StandardGame.h"

using namespace testing_support;

namespace {

class StandardGameTest : public VariantTest {
protected:
    StandardGame game;
};

// The total starts at 1000.
TEST_F(StandardGameTest, LevelBonusRaisesTheDifferenceToTheLevelAndSharesItOutOverTheSeconds)
{
    const struct { int16_t level, points, clicks; int tilesLeft, milliseconds, bonus; std::string screen = ""; }
    cases[] = {
        {2, 300, 20, 45, 10000, 2,  // (15 - 13)^2 / 10
         resultScreen({"Zwischenergebniss Level 2", titleRule, "Punkte: 300", "Klicks: 20", "Punkte pro Klick: 15",
                       "Nicht entfernt: 10 %", "Schwierigkeit: 3 Farben", "Ben\xF6tigte Zeit: 10 Sekunden",
                       "-> Bonus: 2 Punkte", totalRule, "Ergebniss f\xFCr dieses Level:", "302 Punkte", totalRule,
                       "Derzeitiges Gesamtergebniss:", "1302 Punkte"})},
        {3, 5, 1, 0, 999, 125},   // less than one second keeps the undivided 5^3
        {4, 1, 1, 0, 0, 1},       // d 1
        {3, 10, 1, 45, 0, 0},     // d 0
        {2, 5, 1, 45, 0, 0},      // a negative d is not raised to an even power
        {2, 200, 1, 0, 0, 0},     // 200^2 wraps to a negative 16-bit value
        {2, 29, 2, 45, 0, 16},    // points per click truncate: (14 - 10)^2
        {4, 500, 0, 20, 0, 0},    // no counted click (the counter wrapped to 0)
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        game.totalScore = 1000, game.level = c.level;
        game.startLevel();
        game.levelPoints = c.points, game.levelClicks = c.clicks, game.board = loneTiles(c.tilesLeft);
        game.startTicks = clock.now(), game.levelClockRunning = true;
        clock.advance(c.milliseconds);
        game.finishLevel();
        EXPECT_EQ(game.levelBonus, c.bonus);
        EXPECT_EQ(game.totalScore, 1000 + c.bonus + c.points);
        EXPECT_EQ(c.screen.empty() ? "" : shown(game), c.screen);
    }
}

// The clock starts with the first click on a tile only (not again when the click counter wraps).
// A click beside a board without a move ends the level; the share left relates to every level played.
TEST_F(StandardGameTest, LevelTimeRunsFromItsFirstClickOnATileOnlyAndTheResultsShowWhatIsLeft)
{
    game.board = boardFromBottomRows({"1...", "2.33"});
    game.click(pixelOf(1), pixelOf(17));
    EXPECT_EQ(game.startTicks, 0u);
    game.click(pixelOf(0), pixelOf(17));
    game.click(pixelOf(1), pixelOf(17));
    EXPECT_EQ(game.levelClicks, 1);
    game.levelClicks = toInt16(65535);
    clock.advance(3000);
    game.click(pixelOf(0), pixelOf(17));  // the counter wraps to 0
    clock.advance(3500);
    game.click(pixelOf(2), pixelOf(17));
    ASSERT_EQ(game.state, LevelResults);
    EXPECT_EQ(game.levelSeconds, 6);

    game.draw();
    game.click(400, 580);  // "weiter"
    game.board = loneTiles(90);
    game.level = 5;
    clock.advance(60000);
    game.click(400, 590);
    EXPECT_EQ(std::make_tuple(game.state, game.levelSeconds, game.totalSeconds), std::make_tuple(LevelResults, 0, 6));
    const SDL_Rect tile{0, 17 * TileSize, TileSize, TileSize};
    screen.clear();
    const std::string level = shown(game);
    EXPECT_GT(screen.countNonBlack(tile), 0) << "the board stays behind the level result";
    game.state = GameResults, game.totalClicks = 0;
    screen.clear();
    const std::string ended = shown(game);
    EXPECT_EQ(screen.countNonBlack(tile), 0);
    EXPECT_NE(level.find("Nicht entfernt: 20 % @0,175"), std::string::npos);
    EXPECT_NE(ended.find("Nicht entfernt: 4 % @0,175"), std::string::npos) << ended;  // of 5 * 450
    for (const std::string& lines : {level, ended})
        EXPECT_EQ(lines.find(" @0,150 "), std::string::npos) << "without clicks line 4 stays empty";
}

// Each full board of L + 1 colours is replaced by "1122": two clicks of L + 1 points, L seconds.
// Bonus (L + 1)^L / L; 7^6 = 117649 wraps to -13423, so 0. A last row equal to the final score
// keeps the player out of the list; one point less lets them in.
TEST(StandardWholeGame, SixLevelsByClicksThenTheListAndItsFile)
{
    TempDataDir dir;
    FakeClock clock;
    DummyScreen screen;  // the Application loads its own tile set
    const std::pair<int, int> levels[] = {{2, 6}, {4, 16}, {21, 45}, {156, 211}, {1555, 1778}, {0, 1792}};
    for (const int lastRow : {1792, 1791}) {
        SCOPED_TRACE(lastRow);
        std::string list;
        for (int i = 0; i < 9; ++i)
            list += "Row" + std::to_string(i) + ";" + std::to_string(20000 - 1000 * i) + "\n";
        dir.writeFile("Data/var1.hsc", list + "Jule;" + std::to_string(lastRow) + "\n");
        Application app(32);
        auto* game = new StandardGame();
        app.game = game, app.screen = InGame;
        const auto clickCentre = [&](const SDL_Rect& r) { app.handleClick(r.x + r.w / 2, r.y + r.h / 2); };
        for (const auto& [bonus, total] : levels) {
            const std::set<uint16_t> colours(game->board.begin(), game->board.end());  // no 0: full
            EXPECT_TRUE(colours.size() == size_t(game->level + 1) && *colours.begin() == 1 &&
                        *colours.rbegin() == game->level + 1);
            game->board = boardFromBottomRows({"1122"});
            app.draw();
            app.handleClick(pixelOf(0), pixelOf(17));
            clock.advance(1000 * game->level);
            app.handleClick(pixelOf(1), pixelOf(17));  // the 2s have moved into columns 0 and 1
            app.draw();
            app.handleClick(pixelOf(1), pixelOf(17));  // not on "weiter"
            ASSERT_EQ(game->state, LevelResults);
            EXPECT_EQ(std::make_pair(int(game->levelBonus), int(game->totalScore)), std::make_pair(bonus, total));
            clickCentre(continueButton);
        }
        ASSERT_EQ(game->state, GameResults);
        EXPECT_EQ(game->occupiedCells(), 0) << "no new board after the last level";
        EXPECT_EQ(shown(*game), endScreen({"Punkte: 1792", "Klicks: 12", "Punkte pro Klick: 149", "Nicht entfernt: 0 %",
                                           "Ben\xF6tigte Zeit: 21 Sekunden"}, "1792 Punkte"));
        clickCentre(continueButton);
        if (lastRow < 1792) {
            clickCentre(continueButton);
            ASSERT_EQ(game->state, NameEntry) << "no name typed yet";
            // ';' would split the saved line; codes below 32 and beyond Latin-1 are no letters.
            for (int key : std::initializer_list<int>{8, 'A', 31, 'd', 'x', 8, ';', 256, 'a', 0xE4})
                app.handleKey(uint16_t(key));
            clickCentre(continueButton);
        }
        ASSERT_EQ(game->state, ShowHighscores);
        app.draw();
        clickCentre(app.backButton);
        EXPECT_EQ(app.game, nullptr);
        const std::string file = dir.readFile("Data/var1.hsc");
        EXPECT_NE(file.find("Row8;12000\n"), std::string::npos);
        EXPECT_EQ(file.find("Ada\xE4;1792\n") != std::string::npos, lastRow < 1792);
        EXPECT_EQ(file.find("Jule;") != std::string::npos, lastRow == 1792);
    }
}

}  // namespace
