// The variants on the screen: a computed line of each result, the name entry, the variant's suffix.
#include <gtest/gtest.h>

#include "ScriptedRandom.h"
#include "TestSupport.h"
#include "variants/ChaosGame.h"
#include "variants/FallDownGame.h"
#include "variants/SpeedGame.h"
#include "variants/StandardGame.h"

using namespace testing_support;

namespace {

template <typename Rules>
Rules ended(Rules rules)
{
    rules.state = GameResults;
    rules.finalScore = 900;
    return rules;
}

}  // namespace

// A new Standart game has dealt level 1 (here all 1s). "weiter" on a final result leads to the name entry,
// where ';', codes below 32 and beyond Latin-1 are no letters, then to the list. The outcome is a heading.
TEST(VariantGames, EachResultShowsItsOutcomeAndTheTypedNameEntersTheListWithTheVariantsSuffix)
{
    TempDataDir dir;
    DummyScreen screen(true);
    ScriptedRandom random;
    const auto list = [] { return std::make_unique<HighscoreRows>("Liste", 1); };
    StandardRules level;
    level.levelPoints = 300;
    level.levelClicks = 1;
    level.state = LevelResults;
    ChaosRules chaos;
    chaos.colourCount = 4;
    chaos.tilesLeft = 9;
    SpeedRules speed;
    speed.difficulty = 2;
    FallDownRules fallDown;
    fallDown.won = true;
    const std::tuple<std::unique_ptr<Game>, std::string, int, std::string> cases[] = {
        {std::make_unique<StandardGame>(list(), random), "M\xF6glichkeiten: 450", 18, ""},
        {std::make_unique<StandardGame>(list(), random, level), "Punkte pro Klick: 300", 18, ""},
        {std::make_unique<ChaosGame>(list(), random, ended(chaos)), "Nicht entfernt: 2 %", 18, "Ab (4)"},
        {std::make_unique<SpeedGame>(list(), random, ended(speed)), "-> GewinnBonus: 2000", 18, "Ab (S)"},
        {std::make_unique<FallDownGame>(list(), random, ended(fallDown)), "Gewonnen!", 35, "Ab"},
    };
    for (const auto& [game, line, size, row] : cases) {
        TextRecorder recorder;
        game->draw();
        ASSERT_TRUE(recorder.find(line)) << line;
        EXPECT_EQ(recorder.find(line)->size, size);
        if (row.empty())
            continue;
        game->click(continueButton.x, continueButton.y);
        for (int key : std::initializer_list<int>{'A', 'x', 8, 31, ';', 256, 'b'})
            game->editPlayerName(key);
        game->click(continueButton.x, continueButton.y);
        EXPECT_EQ(game->highscores().name(0), row);
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
