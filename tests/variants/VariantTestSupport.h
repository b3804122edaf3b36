#pragma once
// The variant screens' fixture and screens as lines of text.
#include <gtest/gtest.h>

#include "BoardText.h"
#include "ScriptedRandom.h"
#include "TestSupport.h"
#include "game/Game.h"
#include "gfx/Text.h"

namespace testing_support {

// A window pixel inside the cell with this column or row.
constexpr int pixelOf(int cell) { return cell * TileSize + 5; }

// One line per text, so that a failure shows the difference.
inline std::string described(const std::vector<DrawnText>& texts)
{
    std::string lines;
    for (const DrawnText& t : texts)
        lines += t.text + " @" + std::to_string(t.x) + "," + std::to_string(t.y) + " align " +
                 std::to_string(int(t.align)) + " size " + std::to_string(t.size) + "\n";
    return lines;
}

inline std::string shown(Game& game) { TextRecorder recorder; return game.draw(), described(recorder.texts); }

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

// A folder for the assets, the fake clock, a 32-bit screen; "weiter" undrawn after.
class VariantTest : public testing::Test {
protected:
    ~VariantTest() override { continueButton = SDL_Rect{0, 0, 0, 0}; }

    // A game at this moment of its rules, with a list of its own.
    template <typename VariantGame, typename Rules>
    std::unique_ptr<VariantGame> gameOf(const Rules& rules)
    {
        return std::make_unique<VariantGame>(std::make_unique<HighscoreRows>("Liste", 10), random, rules);
    }

    // From rules being played, clock not started, (column, row) in a group: a finished game is never
    // paused, a click while paused only resumes, each 1.9 s span adds a second by itself. The rules then.
    template <typename VariantGame, typename Rules>
    Rules expectPauseCycle(const Rules& playing, int column, int row)
    {
        for (Rules ended = playing; GameState finished : {GameResults, NameEntry, ShowHighscores}) {
            const auto game = gameOf<VariantGame>((ended.state = finished, ended));
            EXPECT_EQ((game->leave(), game->state()), finished);
        }
        auto game = gameOf<VariantGame>(playing);
        game->draw();
        game->click(game->pauseLabel().x + 1, game->pauseLabel().y + 1);
        EXPECT_EQ(shown(*game), described({{" P A U S E ! ", 0, 200, TextAlign::Center, 90}}));
        for (int span = 1; span <= 2; ++span) {
            clock.advance(60000);
            game->click(pixelOf(column), pixelOf(row));
            EXPECT_TRUE(game->state() == Playing && game->core().clock.startTicks == clock.now() &&
                        game->core().board == playing.board);
            clock.advance(1900);
            game->leave();
            EXPECT_TRUE(game->state() == Paused && game->rules().seconds == span) << game->rules().seconds;
        }
        EXPECT_TRUE(!game->tick() && game->core().board == playing.board) << "a paused clock ticks nothing";
        return game->rules();
    }

    TempDataDir dir;
    FakeClock clock;
    DummyScreen screen{true};
    ScriptedRandom random;
};

}  // namespace testing_support
