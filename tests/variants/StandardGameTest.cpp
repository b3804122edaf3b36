// Standart Click on the screen: the level and final results, a whole game through the Application.
#include "VariantTestSupport.h"
#include "app/Application.h"
#include "variants/StandardGame.h"

using namespace testing_support;

using StandardScreens = VariantTest;

// The board stays behind a level result only. Without clicks line 4 stays empty; the final share left
// is the game's (92 tiles of 5 * 450).
TEST_F(StandardScreens, TheLevelResultShowsItsLevelOverItsBoardAndTheFinalResultTheWholeGame)
{
    StandardRules level;
    level.level = 2, level.levelPoints = 300, level.levelClicks = 20, level.tilesLeft = 45, level.levelSeconds = 10;
    level.levelBonus = 2, level.totalScore = 1302, level.state = LevelResults, level.board = boardFromBottomRows({"1"});
    std::vector<std::string> lines = {"Zwischenergebniss Level 2", titleRule, "Punkte: 300", "Klicks: 20",
        "Punkte pro Klick: 15", "Nicht entfernt: 10 %", "Schwierigkeit: 3 Farben", "Ben\xF6tigte Zeit: 10 Sekunden",
        "-> Bonus: 2 Punkte", totalRule, "Ergebniss f\xFCr dieses Level:", "302 Punkte", totalRule,
        "Derzeitiges Gesamtergebniss:", "1302 Punkte"};
    StandardRules noClicks = level, ended = level;
    const std::string clicked = resultScreen(lines);
    noClicks.levelClicks = 0, lines[3] = "Klicks: 0", lines[4] = "";
    ended.level = 5, ended.totalTilesLeft = 92, ended.totalSeconds = 21, ended.state = GameResults;
    const std::tuple<StandardRules, std::string, bool> cases[] = {
        {level, clicked, true}, {noClicks, resultScreen(lines), true},
        {ended, endScreen({"Punkte: 1302", "Klicks: 0", "", "Nicht entfernt: 4 %", "Ben\xF6tigte Zeit: 21 Sekunden"},
                          "1302 Punkte"), false}};
    for (const auto& [rules, expected, boardBehind] : cases) {
        screen.clear();
        EXPECT_EQ(shown(*gameOf<StandardGame>(rules)), expected);
        EXPECT_EQ(screen.countNonBlack({0, 17 * TileSize, TileSize, TileSize}) > 0, boardBehind);
    }
}

// Each dealt board is replaced by "1122" in the same game (with its list as the file holds it): two
// clicks of L + 1 points, L seconds. Bonus (L + 1)^L / L; 7^6 = 117649 wraps to -13423, so 0. A last
// row equal to the final score keeps the player out of the list; one point less lets them in.
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
        const auto clickCentre = [&](SDL_Rect r) { app.handleClick(int16_t(r.x + r.w / 2), int16_t(r.y + r.h / 2)); };
        app.draw(), clickCentre(app.buttons().play), app.draw(), clickCentre(app.buttons().variantChoices[0]);
        const auto rules = [&] { return dynamic_cast<const StandardGame&>(*app.game()).rules(); };
        for (const auto& [bonus, total] : levels) {
            StandardRules level = rules();
            level.board = boardFromBottomRows({"1122"});
            app.startGame(std::make_unique<StandardGame>(highscoresOf(0), systemRandom(), level));
            app.draw();
            app.handleClick(pixelOf(0), pixelOf(17));
            clock.advance(1000 * level.level);
            app.handleClick(pixelOf(1), pixelOf(17));  // the 2s have moved into columns 0 and 1
            app.draw();
            app.handleClick(pixelOf(1), pixelOf(17));  // not on "weiter"
            ASSERT_EQ(app.game()->state(), LevelResults);
            EXPECT_EQ(std::make_pair(int(rules().levelBonus), int(rules().totalScore)), std::make_pair(bonus, total));
            clickCentre(continueButton);
        }
        ASSERT_EQ(app.game()->state(), GameResults);
        EXPECT_EQ(rules().board.tileCount(), 0) << "no new board after the last level";
        const auto frame = [&] { TextRecorder recorder; return app.draw(), described(recorder.texts); };
        EXPECT_EQ(frame(), endScreen({"Punkte: 1792", "Klicks: 12", "Punkte pro Klick: 149", "Nicht entfernt: 0 %",
                                      "Ben\xF6tigte Zeit: 21 Sekunden"}, "1792 Punkte"));
        clickCentre(continueButton);
        if (lastRow < 1792) {
            clickCentre(continueButton);
            ASSERT_EQ(app.game()->state(), NameEntry) << "no name typed yet";
            // ';' would split the saved line; codes below 32 and beyond Latin-1 are no letters.
            for (int key : std::initializer_list<int>{8, 'A', 31, 'd', 'x', 8, ';', 256, 'a', 0xE4})
                app.handleKey(SDLK_UNKNOWN, uint16_t(key));
            clickCentre(continueButton);
        }
        ASSERT_EQ(app.game()->state(), ShowHighscores);
        app.draw();
        clickCentre(app.buttons().back);
        EXPECT_EQ(app.game(), nullptr);
        const std::string file = dir.readFile("Data/var1.hsc");
        EXPECT_NE(file.find("Row8;12000\n"), std::string::npos);
        EXPECT_EQ(file.find("Ada\xE4;1792\n") != std::string::npos, lastRow < 1792);
        EXPECT_EQ(file.find("Jule;") != std::string::npos, lastRow == 1792);
    }
}
