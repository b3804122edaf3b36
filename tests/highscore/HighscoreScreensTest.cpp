#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "../game/BareGame.h"
#include "TestSupport.h"
#include "highscore/HighscoreScreens.h"
#include "highscore/HighscoreTable.h"

namespace {

using Placed = std::tuple<std::string, int32_t, int32_t, TextAlign, int32_t>;  // text, x, y, align, size

std::vector<Placed> placed(const std::vector<DrawnText>& texts)
{
    std::vector<Placed> result;
    for (const auto& t : texts)
        result.emplace_back(t.text, t.x, t.y, t.align, t.size);
    return result;
}

class HighscoreScreens : public testing::Test {
protected:
    testing_support::TempDataDir dir{std::vector<std::string>{"boulder.ttf"}};
    testing_support::DummyScreen screen;
    testing_support::TextRecorder recorder;
};

}  // namespace

// Names read from a damaged list may hold NUL bytes: they show up to the first one. Rows beyond
// the table show their place and a 0, a row missing from the file the default row.
TEST_F(HighscoreScreens, TheListShowsPlaceNameAndScoreOfEveryRowUnderTheTitle)
{
    dir.writeFile("Data/var3.hsc", std::string(";45\nAbc;60\n\0Anna;50\nBe\0rt;40\n", 30));
    drawHighscoreScreen(HighscoreTable("Speed Click", "Data/var3.hsc", 5));
    const std::pair<std::string, std::string> rows[10] = {
        {"Abc", "60"}, {"", "50"}, {"", "45"}, {"Be", "40"}, {":)", "10"}, {"", "0"}, {"", "0"}, {"", "0"}, {"", "0"}, {"", "0"}};
    std::vector<Placed> expected = {{"Highscore von Speed Click", 0, 10, TextAlign::Center, 30}};
    for (int32_t i = 0; i < 10; ++i) {
        const int32_t y = 70 + 50 * i;
        expected.emplace_back(std::to_string(i + 1), 110, y, TextAlign::Center, 35);
        if (!rows[i].first.empty())
            expected.emplace_back(rows[i].first, 0, y, TextAlign::Center, 35);
        expected.emplace_back(rows[i].second, 700, y, TextAlign::Right, 35);
    }
    EXPECT_EQ(placed(recorder.texts), expected);

    EXPECT_GT(screen.countRed({100, 70, 20, 40}), 0) << "place 1 around x 110";
    EXPECT_EQ(screen.countRed({150, 70, 200, 40}), 0) << "nothing between place and name";
    EXPECT_GT(screen.countRed({375, 70, 50, 40}), 0) << "name around the window centre";
    EXPECT_GT(screen.countRed({680, 70, 20, 40}), 0) << "score ending at x 700";
    EXPECT_EQ(screen.countRed({702, 70, 98, 40}), 0) << "nothing right of the score";
    EXPECT_EQ(screen.countRed({200, 120, 400, 90}), 0) << "no names in rows 2 and 3";
    EXPECT_EQ(screen.countRed({0, 570, 800, 30}), 0) << "nothing below the last row";
}

TEST_F(HighscoreScreens, NameEntryShowsItsLinesAndTheEndOfTheNameTypedSoFar)
{
    const std::string veryLong = std::string(5000, '.') + "WWWWWWWW";
    for (const auto& [score, name] : {std::pair<int32_t, std::string>{0, ""}, {-5, "J\xFCrgen"}, {7, veryLong}}) {
        testing_support::BareGame game;
        game.finalScore = score;
        game.playerName = name;
        recorder.clear();
        screen.clear();
        game.drawNameEntryScreen();
        EXPECT_EQ(game.playerName, name);
        std::vector<Placed> expected = {
            {"Super!", 0, 10, TextAlign::Center, 50},
            {"Sie haben es in die", 0, 70, TextAlign::Center, 35},
            {"Highscore geschafft.", 0, 120, TextAlign::Center, 35},
            {"Sie haben " + std::to_string(score) + " Punkte", 0, 170, TextAlign::Center, 35},
            {"Bitte geben sie ihren Namen ein:", 0, 220, TextAlign::Center, 35},
        };
        const auto texts = placed(recorder.texts);
        ASSERT_EQ(texts.size(), expected.size() + !name.empty()) << "score " << score;
        EXPECT_EQ(std::vector<Placed>(texts.begin(), texts.begin() + 5), expected) << "score " << score;
        EXPECT_EQ(screen.countRed({0, 270, 800, 50}) > 0, !name.empty()) << "name line";
        if (name.empty())
            continue;
        const auto& [shown, x, y, align, size] = texts.back();
        EXPECT_EQ(std::tie(x, y, align, size), std::make_tuple(0, 270, TextAlign::Center, 35));
        EXPECT_TRUE(name.ends_with(shown) && !shown.empty()) << shown;
        EXPECT_EQ(shown == name, name != veryLong) << "only a name too wide for the window is cut to its end";
    }
}
