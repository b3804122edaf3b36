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

// Every variant test works in a folder of its own (the variant's table reads and writes its
// Data/var*.hsc there) on the fake clock, and leaves "weiter" undrawn for the next test.
// The screen and the game come in the derived fixture, after these.
class VariantTest : public testing::Test {
protected:
    ~VariantTest() override { continueButton = SDL_Rect{0, 0, 0, 0}; }

    TempDataDir dir;
    FakeClock clock;
};

// A window pixel inside the cell with this column or row.
constexpr int pixelOf(int cell) { return cell * TileSize + 5; }

// tiles tiles stacked from the bottom, column after column, in two colours of which no two
// neighbours are equal: a board without a move.
inline Board loneTiles(int tiles)
{
    Board board{};
    for (int i = 0; i < tiles; ++i) {
        const int column = i / BoardRows;
        const int row = BoardRows - 1 - i % BoardRows;
        board[cellIndex(column, row)] = static_cast<uint16_t>((column + row) % 2 + 1);
    }
    return board;
}

// Result line i of a screen whose lines start at top: centred, size 18.
inline DrawnText resultLineAt(int i, const std::string& text, int top = 50)
{
    return {text, 0, top + 25 * i, TextAlign::Center, 18};
}

inline const DrawnText continueLabel{"weiter", 0, 576, TextAlign::Center, 18};
inline const DrawnText pauseWord{" P A U S E ! ", 0, 200, TextAlign::Center, 90};

// What a result screen draws: its lines from top (an empty one leaves its place free), then
// "weiter".
inline std::vector<DrawnText> resultScreen(const std::vector<std::string>& lines, int top = 50)
{
    std::vector<DrawnText> drawn;
    for (size_t i = 0; i < lines.size(); ++i)
        if (!lines[i].empty())
            drawn.push_back(resultLineAt(static_cast<int>(i), lines[i], top));
    drawn.push_back(continueLabel);
    return drawn;
}

// The result screen of a game that is won or lost: the heading, then the lines from y 75.
inline std::vector<DrawnText> outcomeScreen(const std::string& heading, const std::vector<std::string>& lines)
{
    std::vector<DrawnText> drawn = {{heading, 0, 10, TextAlign::Center, 35}};
    for (const DrawnText& text : resultScreen(lines, 75))
        drawn.push_back(text);
    return drawn;
}

// Every drawn text against its expected text, position, alignment and size, in drawing order.
inline void expectTexts(const std::vector<DrawnText>& drawn, const std::vector<DrawnText>& expected)
{
    ASSERT_EQ(drawn.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].text);
        EXPECT_EQ(drawn[i].text, expected[i].text);
        EXPECT_EQ(drawn[i].x, expected[i].x);
        EXPECT_EQ(drawn[i].y, expected[i].y);
        EXPECT_EQ(drawn[i].align, expected[i].align);
        EXPECT_EQ(drawn[i].size, expected[i].size);
    }
}

// From GameResults through "weiter" (placed where a drawn label would be): a click beside it
// changes nothing, "weiter" leads to the name entry, and "weiter" with name typed enters it
// into the list.
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
