// Chaos Click on the screen: the status bar, the result; each variant's suffix in the saved row.
#include "VariantTestSupport.h"
#include "variants/ChaosGame.h"
#include "variants/FallDownGame.h"
#include "variants/SpeedGame.h"

using namespace testing_support;

using ChaosScreens = VariantTest;

// Through the game: a click on the three 1s (three colours: 4 * 2 points), then on the pair of 3s, which
// ends the game 10 s after the first click: (12 / 2 - 0 %)^2 / 10. Without clicks line 4 stays empty.
TEST_F(ChaosScreens, TheStatusBarCountsEachClickAndTheResultShowsTheBonusAndWhatItCameFrom)
{
    ChaosRules rules;
    rules.colourCount = 3, rules.board = boardFromBottomRows({"......3", "2111..3"});
    random.numbers = {17, 0, 17, 0};  // gravity stays at the bottom left
    const auto game = gameOf<ChaosGame>(rules);
    game->click(pixelOf(2), pixelOf(17));
    EXPECT_EQ(shown(*game), statusBar("Punkte: 8", "Klicks: 1", "M\xF6glichkeiten: 2"));
    clock.advance(10000);
    game->click(pixelOf(1), pixelOf(17));
    EXPECT_EQ(shown(*game), endScreen({"Punkte: 12", "Klicks: 2", "Punkte pro Klick: 6", "Nicht entfernt: 0 %",
                                       "Schwierigkeit: 3 Farben", "Ben\xF6tigte Zeit: 10 Sekunden",
                                       "-> Bonus: 3 Punkte"}, "15 Punkte"));
    rules.state = GameResults;  // before any click
    EXPECT_EQ(shown(*gameOf<ChaosGame>(rules)).find(" @0,150 "), std::string::npos);
}

// Chaos names the colour count, Speed the difficulty, FallDown nothing (Standart: its whole game).
using SavedRows = VariantTest;
TEST_F(SavedRows, EachVariantAddsItsSuffixToTheTypedName)
{
    continueButton = SDL_Rect{360, 576, 80, 22};
    ChaosRules chaos;
    SpeedRules speed[3];
    FallDownRules fallDown;
    chaos.colourCount = 4, speed[1].difficulty = 1, speed[2].difficulty = 2;
    for (GameCore* ended : std::initializer_list<GameCore*>{&chaos, &speed[0], &speed[1], &speed[2], &fallDown})
        ended->state = GameResults, ended->finalScore = 918;
    const std::pair<std::unique_ptr<Game>, std::string> cases[] = {
        {gameOf<ChaosGame>(chaos), "Abc (4)"}, {gameOf<SpeedGame>(speed[0]), "Abc (L)"},
        {gameOf<SpeedGame>(speed[1]), "Abc (M)"}, {gameOf<SpeedGame>(speed[2]), "Abc (S)"},
        {gameOf<FallDownGame>(fallDown), "Abc"}};
    for (const auto& [game, row] : cases) {
        game->click(400, 580);
        for (char key : {'A', 'b', 'c'})
            game->editPlayerName(key);
        game->click(400, 580);
        EXPECT_EQ(std::make_tuple(game->state(), game->highscores().name(0), game->highscores().score(0)),
                  std::make_tuple(ShowHighscores, row, 918));
    }
}
