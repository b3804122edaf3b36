// FallDown Click on the screen: the status bar with its pause label, the pause, the won result.
#include "VariantTestSupport.h"
#include "variants/FallDownGame.h"

using namespace testing_support;

using FallDownScreens = VariantTest;

// The moves count no top-row pair, but a row-1 tile under its colour in row 0, and a pair in row 17.
// Any click resumes a pause, and the feeder then runs even before a tile click.
TEST_F(FallDownScreens, StatusBarCountsMovesBelowTopAndThePauseLabelPausesEachSpanByItself)
{
    FallDownRules rules;
    rules.start(random);
    rules.board = boardAt(0, 0, {"33.5", "1..5", "14"});
    rules.points = 12, rules.board.at(23, 17) = rules.board.at(24, 17) = 3;
    EXPECT_EQ(shown(*gameOf<FallDownGame>(rules)), statusBar("Punkte: 12", "(pause)", "M\xF6glichkeiten: 5"));
    rules.board = boardFromBottomRows({"1144"});
    const auto game = gameOf<FallDownGame>(expectPauseCycle<FallDownGame>(rules, 0, 17));
    game->click(400, 590);
    EXPECT_TRUE(game->tick() && game->core().board.at(0, 0) != 0);
}

// The bonus line shows the 200 per colour the total adds, so the lines add up.
TEST_F(FallDownScreens, TheResultShowsTheWinBonusOnlyWhenWon)
{
    FallDownRules rules;
    rules.won = true, rules.colourCount = 8, rules.points = 2000, rules.seconds = 600, rules.finalScore = 6600;
    rules.state = GameResults;
    EXPECT_EQ(shown(*gameOf<FallDownGame>(rules)), endScreen({"Punkte: 2000", "Zeit: 600 Sekunden", "Farben: 8",
                                                              "-> Bonus: 1000", "-> GewinnBonus: 3000"},
                                                             "6600", "Gewonnen!"));
    rules.won = false;
    EXPECT_EQ(shown(*gameOf<FallDownGame>(rules)).find("GewinnBonus"), std::string::npos);
}
