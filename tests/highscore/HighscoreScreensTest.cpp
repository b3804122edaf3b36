#include <gtest/gtest.h>

#include "TestSupport.h"
#include "highscore/HighscoreScreens.h"
#include "highscore/rules/HighscoreRows.h"

// Ten lines under the title whatever the list holds: place, name and score, a row beyond the list
// only its place and a 0.
TEST(Highscores, TheListShowsTenRowsUnderItsTitle)
{
    testing_support::TempDataDir dir{{"boulder.ttf"}};
    testing_support::DummyScreen screen;
    testing_support::TextRecorder recorder;
    drawHighscoreScreen(HighscoreRows("Speed Click", 3));
    std::string shown;
    for (const DrawnText& text : recorder.texts)
        shown += text.text + " ";
    EXPECT_EQ(shown, "Highscore von Speed Click 1 :) 30 2 :) 20 3 :) 10 4 0 5 0 6 0 7 0 8 0 9 0 10 0 ");
}
