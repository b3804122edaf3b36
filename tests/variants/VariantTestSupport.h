#pragma once
// The variant tests' fixture, boards without a move, and screens as lines of text.
#include <gtest/gtest.h>

#include "BoardText.h"
#include "TestSupport.h"
#include "game/Game.h"
#include "gfx/Text.h"

namespace testing_support {

// A window pixel inside the cell with this column or row.
constexpr int pixelOf(int cell) { return cell * TileSize + 5; }

// Tiles stacked from the bottom, column after column, in two alternating colours: no move.
inline Board loneTiles(int tiles)
{
    Board board{};
    for (int i = 0; i < tiles; ++i)
        board[cellIndex(i / BoardRows, BoardRows - 1 - i % BoardRows)] = uint16_t((i / BoardRows + i) % 2 + 1);
    return board;
}

// One line per text, so that a failure shows the difference.
inline std::string described(const std::vector<DrawnText>& texts)
{
    std::string lines;
    for (const DrawnText& t : texts)
        lines += t.text + " @" + std::to_string(t.x) + "," + std::to_string(t.y) + " align " +
                 std::to_string(int(t.align)) + " size " + std::to_string(t.size) + "\n";
    return lines;
}

inline std::string shown(Game& game)
{
    TextRecorder recorder;
    return game.draw(), described(recorder.texts);
}

inline std::string statusBar(const std::string& left, const std::string& centre, const std::string& right)
{
    return described({{left, 0, 576, TextAlign::Left, 18}, {centre, 0, 576, TextAlign::Center, 18},
                      {right, 0, 576, TextAlign::Right, 18}});
}

// Result lines 25 pixels apart (an empty one keeps its place) under an optional heading, then "weiter".
inline std::string resultScreen(const std::vector<std::string>& lines, const std::string& heading = "")
{
    std::vector<DrawnText> drawn;
    if (!heading.empty())
        drawn.push_back({heading, 0, 10, TextAlign::Center, 35});
    for (size_t i = 0; i < lines.size(); ++i)
        if (!lines[i].empty())
            drawn.push_back({lines[i], 0, (heading.empty() ? 50 : 75) + 25 * int(i), TextAlign::Center, 18});
    drawn.push_back({"weiter", 0, 576, TextAlign::Center, 18});
    return described(drawn);
}

inline const std::string titleRule(29, '~'), totalRule(37, '-');

inline std::string endScreen(std::vector<std::string> lines, const std::string& total, const std::string& heading = "")
{
    lines.insert(lines.begin(), {"Endeergebniss des Spiels", titleRule});
    lines.insert(lines.end(), {totalRule, "Gesamtergebniss: " + total});
    return resultScreen(lines, heading);
}

// A folder of its own for the list files, the fake clock, a 32-bit screen; "weiter" undrawn after.
class VariantTest : public testing::Test {
protected:
    ~VariantTest() override { continueButton = SDL_Rect{0, 0, 0, 0}; }

    // From a game being played, clock not started, (column, row) in a group: a click while paused
    // only resumes, each 1.9 s span adds a second by itself, and a finished game is never paused.
    void expectPauseCycle(Game& game, const SDL_Rect& pauseLabel, const int16_t& seconds, int column, int row)
    {
        const Board board = game.board;
        game.draw();
        game.click(pauseLabel.x + 1, pauseLabel.y + 1);
        EXPECT_EQ(shown(game), described({{" P A U S E ! ", 0, 200, TextAlign::Center, 90}}));
        for (int span = 1; span <= 2; ++span) {
            clock.advance(60000);
            game.click(pixelOf(column), pixelOf(row));
            EXPECT_TRUE(game.state == Playing && game.startTicks == clock.now() && game.board == board);
            clock.advance(1900);
            game.leave();
            EXPECT_TRUE(game.state == Paused && seconds == span) << seconds;
        }
        game.tick();
        EXPECT_EQ(game.board, board) << "a paused clock ticks nothing";
        for (GameState finished : {GameResults, NameEntry, ShowHighscores}) {
            game.state = finished, game.leave();
            EXPECT_EQ(game.state, finished);
        }
    }

    TempDataDir dir;
    FakeClock clock;
    DummyScreen screen{true};
};

}  // namespace testing_support
