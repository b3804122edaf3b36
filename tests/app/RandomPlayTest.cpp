// A seeded walk of random clicks, typed keys and ticks through the real Application, its invariants checked
// after every event. Each variant's walk leans towards its own games.
#include <gtest/gtest.h>

#include <random>

#include "TestSupport.h"
#include "app/Application.h"
#include "gfx/Tileset.h"

using namespace testing_support;

// A new game seeds its boards from the time of day; here that time follows the walk's own clock, so
// every run deals the same boards.
extern "C" time_t time(time_t* now) noexcept
{
    const auto seconds = static_cast<time_t>(FakeClock::ticks / 1000);
    if (now)
        *now = seconds;
    return seconds;
}

class RandomPlay : public testing::TestWithParam<int> {};

TEST_P(RandomPlay, KeepsItsInvariants)
{
    std::mt19937 rng(4000 + GetParam());
    const auto pick = [&rng](int low, int high) { return std::uniform_int_distribution(low, high)(rng); };
    TempDataDir dir;
    FakeClock clock;
    DummyScreen screen;
    Application app(32);
    const Buttons& b = app.buttons();
    for (int event = 0; event < 3000; ++event) {
        for (SDL_Event e; SDL_PollEvent(&e);)  // a frame for each request, as the main loop draws
            app.draw();
        // The labels drawn, the board, and, left from earlier frames, "(ende)", "weiter" and the variant's label.
        std::vector<SDL_Rect> targets = app.labels();
        targets.insert(targets.end(), {{0, 0, 800, 576}, b.endGame, continueButton, b.variantChoices[GetParam()]});
        const SDL_Rect& aim = targets[size_t(pick(0, int(targets.size()) - 1))];
        const auto x = int16_t(aim.x + pick(-9, aim.w + 9));
        const auto y = int16_t(aim.y + pick(-9, aim.h + 9));
        if (const int kind = pick(0, 9); kind == 0) {  // a typed character
            app.handleKey(SDLK_UNKNOWN, uint16_t(pick(0, 300)));
        } else if (kind <= 3) {
            clock.advance(500);
            app.handleTick();
        } else if (app.screen() != MainMenu || !pointInRect(x, y, b.quit)) {  // "Ende" would end the test
            app.handleClick(x, y);
        }
        const Game* game = app.game();
        ASSERT_EQ(game != nullptr, app.screen() == InGame || app.screen() == ConfirmEnd);
        ASSERT_EQ(tileRects[0].y, app.tileset() * TileSetBand);  // the player's tile set
        if (!game)
            continue;
        // A game keeps its variant's list; "(ende)" pauses the variants with a clock.
        const GameState state = game->state();
        ASSERT_EQ(game->highscores().title(), variantNames[size_t(app.variant())]);
        ASSERT_TRUE(app.screen() != ConfirmEnd || state == (app.variant() >= 2 ? Paused : Playing));
        ASSERT_TRUE(state != NameEntry || game->highscores().qualifies(game->core().finalScore));
    }
}

INSTANTIATE_TEST_SUITE_P(EachVariant, RandomPlay, testing::Range(0, 4));
