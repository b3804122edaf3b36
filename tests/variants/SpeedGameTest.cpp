// Speed Click on the screen: the status bar with its pause label, the pause, won or lost.
#include "VariantTestSupport.h"
#include "variants/SpeedGame.h"

using namespace testing_support;

using SpeedScreens = VariantTest;

// A lost game shows no remaining points and no win bonus: its total never had them.
TEST_F(SpeedScreens, TheResultShowsTheRemainingPointsAndTheWinBonusOnlyWhenWon)
{
    const struct { int16_t difficulty, colours, points, seconds; int32_t finalScore; std::string screen; } cases[] = {
        {2, 8, 150, 200, 4750,
         endScreen({"RestPunkte: 150", "Zeit: 200 Sekunden", "Farben: 8", "Schwierigkeit: Schwer", "-> Bonus: 2400",
                    "-> GewinnBonus: 2000"}, "4750", "Gewonnen!")},
        {1, 4, -1, 100, 900,
         endScreen({"RestPunkte: 0", "Zeit: 100 Sekunden", "Farben: 4", "Schwierigkeit: Mittel", "-> Bonus: 800", ""},
                   "900", "Leider Verloren!")},
    };
    for (const auto& c : cases) {
        SpeedRules rules;
        rules.difficulty = c.difficulty, rules.colourCount = c.colours, rules.points = c.points;
        rules.seconds = c.seconds, rules.finalScore = c.finalScore, rules.state = GameResults;
        EXPECT_EQ(shown(*gameOf<SpeedGame>(rules)), c.screen);
    }
}

TEST_F(SpeedScreens, StatusBarAndPauseLabelWhichPausesEachSpanByItselfButNeverAFinishedGame)
{
    SpeedRules rules;
    rules.start(1, random);
    rules.board = boardFromBottomRows({"1...3..", "111.3.2"});
    EXPECT_EQ(shown(*gameOf<SpeedGame>(rules)), statusBar("Punkte: 200", "(pause)", "M\xF6glichkeiten: 6"));
    EXPECT_EQ(expectPauseCycle<SpeedGame>(rules, 2, 17).points, 200) << "a paused clock drains nothing";
}
