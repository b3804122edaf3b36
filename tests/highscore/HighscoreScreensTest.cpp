#include <gtest/gtest.h>

#include <map>

#include "TestSupport.h"
#include "highscore/HighscoreScreens.h"
#include "highscore/HighscoreTable.h"

namespace {

class Highscores : public testing::Test {
protected:
    testing_support::TempDataDir dir{{"boulder.ttf"}};
    testing_support::DummyScreen screen;
    testing_support::TextRecorder recorder;
};

}  // namespace

// Ten lines under the title whatever the list holds: place, name and score, a row beyond the list
// only its place and a 0.
TEST_F(Highscores, TheListShowsTenRowsUnderItsTitle)
{
    dir.writeFile("Data/var3.hsc", "Abc;60\nBe;40\n");
    drawHighscoreScreen(HighscoreTable("Speed Click", "Data/var3.hsc", 3));
    std::map<int32_t, std::string> lines;  // by height
    for (const DrawnText& text : recorder.texts)
        lines[text.y] += text.text + " ";
    std::string shown;
    for (const auto& [y, line] : lines)
        shown += line + "| ";
    EXPECT_EQ(shown, "Highscore von Speed Click | 1 Abc 60 | 2 Be 40 | 3 :) 10 | 4 0 | 5 0 | 6 0 | 7 0 | 8 0 | 9 0 | 10 0 | ");
}

// The score, and the end of a name too wide for the window.
TEST_F(Highscores, NameEntryShowsTheScoreAndTheEndOfALongName)
{
    const std::string name = std::string(5000, '.') + "WWWWWWWW";
    drawNameEntryScreen(-5, name);
    EXPECT_NE(recorder.find("Sie haben -5 Punkte"), nullptr);
    const std::string shown = recorder.texts.back().text;
    EXPECT_TRUE(shown.size() > 8 && shown.size() < 200 && name.ends_with(shown)) << shown.size();
}
