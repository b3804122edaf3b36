#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "TestSupport.h"
#include "game/Game.h"
#include "highscore/HighscoreScreens.h"
#include "highscore/HighscoreTable.h"

using testing_support::DummyScreen;
using testing_support::TempDataDir;
using testing_support::TextRecorder;

namespace {

using Placed = std::tuple<std::string, int32_t, int32_t, TextAlign, int32_t>;  // text, x, y, align, size

std::vector<Placed> placed(const std::vector<DrawnText>& texts)
{
    std::vector<Placed> result;
    for (const auto& t : texts)
        if (!t.text.empty())  // an empty text draws nothing
            result.emplace_back(t.text, t.x, t.y, t.align, t.size);
    return result;
}

// The visible texts of each line, by y.
std::map<int32_t, std::vector<std::string>> linesOf(const std::vector<DrawnText>& texts)
{
    std::map<int32_t, std::vector<std::string>> lines;
    for (const auto& t : texts)
        if (!t.text.empty())
            lines[t.y].push_back(t.text);
    return lines;
}

class ScreenTestGame : public Game {
public:
    void click(int32_t, int32_t) override {}
    void draw() override {}
    void tick() override {}
    void leave() override {}
};

class HighscoreScreens : public ::testing::Test {
protected:
    SDL_Rect band(int x, int y, int w, int h) const
    {
        return SDL_Rect{static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w), static_cast<Uint16>(h)};
    }

    TempDataDir dir{std::vector<std::string>{"boulder.ttf"}};
    DummyScreen screen;
    TextRecorder recorder;
};

TEST_F(HighscoreScreens, MissingFileShowsTenDefaultRowsUnderTheTitle)
{
    HighscoreTable table("Speed Click", "Data/var3.hsc", 10);
    drawHighscoreScreen(table);
    std::vector<Placed> expected = {{"Highscore von Speed Click", 0, 10, TextAlign::Center, 30}};
    for (int32_t i = 0; i < 10; ++i) {
        const int32_t y = 70 + 50 * i;
        expected.emplace_back(std::to_string(i + 1), 110, y, TextAlign::Center, 35);
        expected.emplace_back(":)", 0, y, TextAlign::Center, 35);
        expected.emplace_back(std::to_string(100 - 10 * i), 700, y, TextAlign::Right, 35);
    }
    EXPECT_EQ(placed(recorder.texts), expected);
}

TEST_F(HighscoreScreens, EmptyNameAndRowsBeyondTheTableShowOnlyPlaceAndScore)
{
    dir.writeFile("Data/var3.hsc", ";45\nAbc;60\n");
    HighscoreTable table("Speed Click", "Data/var3.hsc", 3);
    drawHighscoreScreen(table);
    const auto lines = linesOf(recorder.texts);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines.at(70), (std::vector<std::string>{"1", "Abc", "60"}));
    EXPECT_EQ(lines.at(120), (std::vector<std::string>{"2", "45"}));
    EXPECT_EQ(lines.at(170), (std::vector<std::string>{"3", ":)", "10"}));
    for (int32_t i = 3; i < 10; ++i)
        EXPECT_EQ(lines.at(70 + 50 * i), (std::vector<std::string>{std::to_string(i + 1), "0"})) << "row " << i;
}

TEST_F(HighscoreScreens, RowTextsLandAtTheirAnchors)
{
    HighscoreTable table("Chaos Click", "Data/var2.hsc", 10);
    drawHighscoreScreen(table);
    EXPECT_GT(screen.countRed(band(380, 10, 40, 30)), 0) << "title around the window centre";
    EXPECT_GT(screen.countRed(band(100, 70, 20, 40)), 0) << "place 1 around x 110";
    EXPECT_EQ(screen.countRed(band(150, 70, 200, 40)), 0) << "nothing between place and name";
    EXPECT_GT(screen.countRed(band(385, 70, 30, 40)), 0) << "name around the window centre";
    EXPECT_GT(screen.countRed(band(680, 70, 20, 40)), 0) << "score ending at x 700";
    EXPECT_EQ(screen.countRed(band(702, 70, 98, 40)), 0) << "nothing right of the score";
    EXPECT_GT(screen.countRed(band(100, 520, 20, 40)), 0) << "place 10 in the last row";
    EXPECT_EQ(screen.countRed(band(0, 570, 800, 30)), 0) << "nothing below the last row";
}

// A name too wide for the window shows its start; the table and the file keep all of it.
TEST_F(HighscoreScreens, VeryLongNameInTheListShowsItsStart)
{
    const std::string name = std::string(8, 'W') + std::string(5000, '.');
    dir.writeFile("Data/var3.hsc", name + ";500\n");
    {
        HighscoreTable table("Speed Click", "Data/var3.hsc", 10);
        drawHighscoreScreen(table);
        ASSERT_NE(recorder.find(name), nullptr);
    }
    const int start = screen.countRed(band(0, 70, 260, 40));
    const int middle = screen.countRed(band(420, 70, 180, 40));
    EXPECT_GT(start, 3 * middle);
    EXPECT_GT(middle, 0);
    EXPECT_EQ(dir.readFile("Data/var3.hsc").substr(0, name.size() + 5), name + ";500\n");
}

struct NameEntryCase {
    int32_t finalScore;
    std::string playerName;
    std::string scoreLine;
};

TEST_F(HighscoreScreens, NameEntryShowsItsLinesAndTheNameTypedSoFar)
{
    const NameEntryCase cases[] = {
        {4120, "Abc", "Sie haben 4120 Punkte"},
        {0, "", "Sie haben 0 Punkte"},
        {-5, "J\xFCrgen", "Sie haben -5 Punkte"},
    };
    for (const auto& c : cases) {
        ScreenTestGame game;
        game.finalScore = c.finalScore;
        game.playerName = c.playerName;
        recorder.clear();
        game.drawNameEntryScreen();
        std::vector<Placed> expected = {
            {"Super!", 0, 10, TextAlign::Center, 50},
            {"Sie haben es in die", 0, 70, TextAlign::Center, 35},
            {"Highscore geschafft.", 0, 120, TextAlign::Center, 35},
            {c.scoreLine, 0, 170, TextAlign::Center, 35},
            {"Bitte geben sie ihren Namen ein:", 0, 220, TextAlign::Center, 35},
        };
        if (!c.playerName.empty())
            expected.emplace_back(c.playerName, 0, 270, TextAlign::Center, 35);
        EXPECT_EQ(placed(recorder.texts), expected) << "score " << c.finalScore;
    }
}

TEST_F(HighscoreScreens, NameEntryLineStaysBlankUntilSomethingIsTyped)
{
    ScreenTestGame game;
    game.drawNameEntryScreen();
    EXPECT_GT(screen.countRed(band(370, 10, 60, 50)), 0) << "heading";
    EXPECT_EQ(screen.countRed(band(0, 270, 800, 50)), 0);
    game.editPlayerName('A');
    game.drawNameEntryScreen();
    EXPECT_GT(screen.countRed(band(380, 270, 40, 45)), 0);
}

// The player watches the end of what they type.
TEST_F(HighscoreScreens, VeryLongTypedNameShowsItsEnd)
{
    ScreenTestGame game;
    game.playerName = std::string(5000, '.') + std::string(8, 'W');
    const std::string typed = game.playerName;
    game.drawNameEntryScreen();
    EXPECT_EQ(game.playerName, typed);
    const auto lines = linesOf(recorder.texts);
    ASSERT_EQ(lines.count(270), 1u);
    const std::string shown = lines.at(270).front();
    EXPECT_LT(shown.size(), typed.size());
    EXPECT_EQ(typed.substr(typed.size() - shown.size()), shown);
    EXPECT_EQ(shown.substr(shown.size() - 8), std::string(8, 'W'));
    const int start = screen.countRed(band(0, 270, 260, 45));
    const int end = screen.countRed(band(540, 270, 260, 45));
    EXPECT_GT(end, 3 * start);
    EXPECT_GT(start, 0);
}

}  // namespace
