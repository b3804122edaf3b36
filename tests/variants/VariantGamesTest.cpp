// The variants on the screen: one computed line of each result, the name entry, the variant's suffix.
#include <gtest/gtest.h>

#include "ScriptedRandom.h"
#include "TestSupport.h"
#include "variants/ChaosGame.h"
#include "variants/FallDownGame.h"
#include "variants/SpeedGame.h"
#include "variants/StandardGame.h"

using namespace testing_support;

// A new Standart game has dealt level 1 (two colours, here all 1s). "weiter" on a final result leads to
// the name entry, where ';', codes below 32 and beyond Latin-1 are no letters, then to the list.
TEST(VariantGames, EachResultShowsItsOutcomeAndTheTypedNameEntersTheListWithTheVariantsSuffix)
{
    TempDataDir dir;
    DummyScreen screen(true);
    ScriptedRandom random;
    const auto list = [] { return std::make_unique<HighscoreRows>("Liste", 10); };
    const auto ended = [](auto rules, int32_t finalScore) {
        rules.state = GameResults;
        rules.finalScore = finalScore;
        return rules;
    };
    StandardRules level, standard;
    level.levelPoints = 300;
    level.levelClicks = 1;
    level.state = LevelResults;
    standard.level = 5;
    standard.totalTilesLeft = 92;
    ChaosRules chaos;
    chaos.colourCount = 4;
    chaos.points = 120;
    chaos.bonus = 3;
    SpeedRules won, lost;
    won.difficulty = 2;
    lost.difficulty = 1;
    lost.points = -1;
    FallDownRules fallDown;
    fallDown.won = true;
    const std::tuple<std::unique_ptr<Game>, std::string, std::string> cases[] = {
        {std::make_unique<StandardGame>(list(), random), "M\xF6glichkeiten: 450", ""},
        {std::make_unique<StandardGame>(list(), random, level), "Punkte pro Klick: 300", ""},
        {std::make_unique<StandardGame>(list(), random, ended(standard, 1302)), "Nicht entfernt: 4 %", "Ab"},  // 92 of 5 * 450
        {std::make_unique<ChaosGame>(list(), random, ended(chaos, 123)), "Gesamtergebniss: 123 Punkte", "Ab (4)"},
        {std::make_unique<SpeedGame>(list(), random, ended(won, 4750)), "-> GewinnBonus: 2000", "Ab (S)"},
        {std::make_unique<SpeedGame>(list(), random, ended(lost, 900)), "RestPunkte: 0", "Ab (M)"},
        {std::make_unique<FallDownGame>(list(), random, ended(fallDown, 6600)), "Gewonnen!", "Ab"},
    };
    for (const auto& [game, line, row] : cases) {
        TextRecorder recorder;
        game->draw();
        const DrawnText* shown = recorder.find(line);
        ASSERT_TRUE(shown) << line;
        EXPECT_EQ(shown->size, line == "Gewonnen!" ? 35 : 18) << "a heading is larger";
        if (row.empty())
            continue;
        game->click(continueButton.x, continueButton.y);
        for (int key : std::initializer_list<int>{'A', 'x', 8, 31, ';', 256, 'b'})
            game->editPlayerName(key);
        game->click(continueButton.x, continueButton.y);
        EXPECT_EQ(std::make_tuple(game->state(), game->highscores().name(0), game->highscores().score(0)),
                  std::make_tuple(ShowHighscores, row, game->core().finalScore));
    }
}

// "weiter" changes nothing while playing, on a level result, on a name entry without a name, on the list.
TEST(EndOfGame, WeiterChangesNothingOutsideTheResultAndATypedName)
{
    HighscoreRows list("Liste", 1);
    for (GameCore game; GameState state : {Playing, LevelResults, NameEntry, ShowHighscores}) {
        game.state = state;
        EXPECT_FALSE(continueEndOfGame(game, list, "") || game.state != state) << state;
    }
}
