#pragma once
// What the tests of the four variants share: the fixture, clicks on cells, boards without a
// move, and drawn screens compared line by line.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BoardText.h"
#include "TestSupport.h"
#include "game/Game.h"
#include "gfx/Text.h"

namespace testing_support {

// Every variant test works in a folder of its own (the variant's list file lands there), on the
// fake clock and a 32-bit screen with the tiles, and leaves "weiter" undrawn for the next test.
class VariantTest : public testing::Test {
protected:
    ~VariantTest() override { continueButton = SDL_Rect{0, 0, 0, 0}; }

    TempDataDir dir;
    FakeClock clock;
    DummyScreen screen{true};
};

// A window pixel inside the cell with this column or row.
constexpr int pixelOf(int cell) { return cell * TileSize + 5; }

// tiles tiles stacked from the bottom, column after column, in two alternating colours: no move.
inline Board loneTiles(int tiles)
{
    Board board{};
    for (int i = 0; i < tiles; ++i) {
        const int column = i / BoardRows, row = BoardRows - 1 - i % BoardRows;
        board[cellIndex(column, row)] = static_cast<uint16_t>((column + row) % 2 + 1);
    }
    return board;
}

inline std::vector<DrawnText> statusBar(const std::string& left, const std::string& centre, const std::string& right)
{
    return {{left, 0, 576, TextAlign::Left, 18},
            {centre, 0, 576, TextAlign::Center, 18},
            {right, 0, 576, TextAlign::Right, 18}};
}

inline const DrawnText pauseWord{" P A U S E ! ", 0, 200, TextAlign::Center, 90};

// Result lines from top, 25 pixels apart (an empty one draws nothing but keeps its place),
// under an optional heading, then "weiter".
inline std::vector<DrawnText> resultScreen(const std::vector<std::string>& lines, const std::string& heading = "")
{
    std::vector<DrawnText> drawn;
    if (!heading.empty())
        drawn.push_back({heading, 0, 10, TextAlign::Center, 35});
    const int top = heading.empty() ? 50 : 75;
    for (size_t i = 0; i < lines.size(); ++i)
        if (!lines[i].empty())
            drawn.push_back({lines[i], 0, top + 25 * static_cast<int>(i), TextAlign::Center, 18});
    drawn.push_back({"weiter", 0, 576, TextAlign::Center, 18});
    return drawn;
}

// One readable line per text, so that a failure shows which text differs and how.
inline std::vector<std::string> described(const std::vector<DrawnText>& texts)
{
    std::vector<std::string> lines;
    for (const DrawnText& t : texts)
        lines.push_back(t.text + " @" + std::to_string(t.x) + "," + std::to_string(t.y) + " align " +
                        std::to_string(static_cast<int>(t.align)) + " size " + std::to_string(t.size));
    return lines;
}

inline void expectTexts(const std::vector<DrawnText>& drawn, const std::vector<DrawnText>& expected)
{
    EXPECT_EQ(described(drawn), described(expected));
}

// The text drawn at this y, "" if none.
inline std::string textAt(const TextRecorder& recorder, int y)
{
    for (const DrawnText& t : recorder.texts)
        if (t.y == y)
            return t.text;
    return "";
}

// From GameResults through "weiter": a click beside it changes nothing, "weiter" leads to the
// name entry, and "weiter" with a name typed enters it into the list.
inline void enterNameThroughContinue(Game& game, const std::string& name)
{
    continueButton = SDL_Rect{360, 576, 80, 22};
    game.click(10, 10);
    EXPECT_EQ(game.state, GameResults);
    game.click(400, 580);
    ASSERT_EQ(game.state, NameEntry);
    game.playerName = name;
    game.click(400, 580);
    EXPECT_EQ(game.state, ShowHighscores);
}

}  // namespace testing_support
