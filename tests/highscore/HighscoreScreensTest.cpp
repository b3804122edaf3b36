#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <tuple>

#include "TestSupport.h"
#include "highscore/HighscoreScreens.h"
#include "highscore/HighscoreTable.h"

namespace {

using Placed = std::tuple<std::string, int32_t, int32_t, TextAlign, int32_t>;  // text, x, y, align, size

class Highscores : public testing::Test {
protected:
    std::vector<Placed> placed() const
    {
        std::vector<Placed> result;
        for (const auto& t : recorder.texts)
            result.emplace_back(t.text, t.x, t.y, t.align, t.size);
        return result;
    }

    testing_support::TempDataDir dir{{"boulder.ttf"}};
    testing_support::DummyScreen screen;
    testing_support::TextRecorder recorder;
};

}  // namespace

// Names from a damaged list show up to their first NUL byte; rows beyond the table show their place and 0.
TEST_F(Highscores, TheListShowsPlaceNameAndScoreOfEveryRowUnderTheTitle)
{
    dir.writeFile("Data/var3.hsc", std::string(";45\nAbc;60\n\0Anna;50\nBe\0rt;40\n", 30));
    drawHighscoreScreen(HighscoreTable("Speed Click", "Data/var3.hsc", 5));
    const char* rows[10][2] = {{"Abc", "60"}, {"", "50"}, {"", "45"}, {"Be", "40"}, {":)", "10"}};
    std::vector<Placed> expected = {{"Highscore von Speed Click", 0, 10, TextAlign::Center, 30}};
    for (int32_t i = 0, y = 70; i < 10; ++i, y += 50) {
        expected.emplace_back(std::to_string(i + 1), 110, y, TextAlign::Center, 35);
        if (rows[i][0] && *rows[i][0])
            expected.emplace_back(rows[i][0], 0, y, TextAlign::Center, 35);
        expected.emplace_back(rows[i][1] ? rows[i][1] : "0", 700, y, TextAlign::Right, 35);
    }
    EXPECT_EQ(placed(), expected);
}

// Only a name too wide for the window is cut, to its end.
TEST_F(Highscores, NameEntryShowsItsLinesAndTheEndOfTheNameTypedSoFar)
{
    const std::string veryLong = std::string(5000, '.') + "WWWWWWWW";
    for (const auto& [score, name, shown] : {std::tuple<int32_t, std::string, std::string>{0, "", ""},
                                             {-5, "J\xFCrgen", "J\xFCrgen"}, {7, veryLong, keepEndWithin(veryLong, 35, 800)}}) {
        recorder.clear();
        drawNameEntryScreen(score, name);
        std::vector<Placed> expected = {{"Super!", 0, 10, TextAlign::Center, 50}};
        const std::string lines[] = {"Sie haben es in die", "Highscore geschafft.", "Sie haben " + std::to_string(score) + " Punkte",
                                     "Bitte geben sie ihren Namen ein:", shown};
        for (int32_t i = 0; i < 5; ++i)
            if (!lines[i].empty())
                expected.emplace_back(lines[i], 0, 70 + 50 * i, TextAlign::Center, 35);
        EXPECT_EQ(placed(), expected) << score;
    }
}
