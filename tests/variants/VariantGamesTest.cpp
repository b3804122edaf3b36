// The variants on the screen: a computed line of a result, a new game, the name entry and the suffix.
#include <gtest/gtest.h>

#include "ScriptedRandom.h"
#include "TestSupport.h"
#include "variants/SpeedGame.h"
#include "variants/StandardGame.h"

using namespace testing_support;

// A new Standart game has dealt level 1 (here all 1s); the outcome of a game is a heading. "weiter" on a
// final result leads to the name entry, where ';', codes below 32 and beyond Latin-1 are no letters, then to
// the list, with the variant's suffix.
TEST(VariantGames, ScreensShowTheirLinesAndTheTypedNameEntersTheList)
{
    TempDataDir dir;
    DummyScreen screen(true);
    ScriptedRandom random;
    StandardRules level;
    level.levelPoints = 300;
    level.levelClicks = 1;
    level.state = LevelResults;
    SpeedRules won;
    won.finalScore = 900;
    won.state = GameResults;
    const auto list = [] { return std::make_unique<HighscoreRows>("", 1); };
    const std::tuple<std::unique_ptr<Game>, std::string, int> cases[] = {
        {std::make_unique<StandardGame>(list(), random), "M\xF6glichkeiten: 450", 18},
        {std::make_unique<StandardGame>(list(), random, level), "Punkte pro Klick: 300", 18},
        {std::make_unique<SpeedGame>(list(), random, won), "Gewonnen!", 35},
    };
    for (const auto& [game, line, size] : cases) {
        TextRecorder recorder;
        game->draw();
        ASSERT_TRUE(recorder.find(line));
        EXPECT_EQ(recorder.find(line)->size, size);
    }
    Game& speed = *std::get<0>(cases[2]);
    speed.click(continueButton.x, continueButton.y);
    for (int key : std::initializer_list<int>{'A', 'x', 8, 31, ';', 256, 'b'})
        speed.editPlayerName(key);
    speed.click(continueButton.x, continueButton.y);
    EXPECT_EQ(speed.highscores().name(0), "Ab (L)");

    // A tick of a running Speed game drains its points: the screen has changed.
    SpeedRules running;
    running.state = Playing;
    running.clock.startTicks = 1;
    EXPECT_TRUE(SpeedGame(list(), random, running).tick());
}
