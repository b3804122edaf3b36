#pragma once
// The Application at 32 bits under the dummy driver, with every generated asset, a fake clock
// and its main loop; and a game that records what the Application asks of it.
#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "app/Application.h"
#include "app/Entry.h"
#include "game/Game.h"

using Clicks = std::vector<std::pair<int32_t, int32_t>>;

struct FakeGame : Game {
    FakeGame(testing_support::FakeClock& clock, bool& destroyed) : clock(clock), destroyed(destroyed) {}
    ~FakeGame() override { destroyed = true; }
    void click(int32_t x, int32_t y) override
    {
        clicks.push_back({x, y});
        if (endsOnClick)
            state = GameResults;
    }
    void draw() override
    {
        ++draws;
        drawText("Spielfeld", 0, 100, TextAlign::Center, 18, nullptr);
    }
    void tick() override
    {
        ++ticks;
        clock.advance(tickDuration);  // a slow tick
    }
    void leave() override { ++leaves; }

    testing_support::FakeClock& clock;
    bool& destroyed;
    Clicks clicks;
    int draws = 0, ticks = 0, leaves = 0;
    uint32_t tickDuration = 0;
    bool endsOnClick = false;
};

class AppTest : public testing::Test {
protected:
    AppTest() { app.draw(); }

    FakeGame& startGame(int32_t state)
    {
        delete app.game;
        auto* game = new FakeGame(clock, destroyed);
        game->state = state;
        app.game = game;
        app.screen = InGame;
        return *game;
    }

    int takeRedrawRequests()
    {
        SDL_Event events[4];
        return SDL_PeepEvents(events, 4, SDL_GETEVENT, SDL_EVENTMASK(SDL_USEREVENT));
    }

    testing_support::TempDataDir dir;
    testing_support::FakeClock clock{200000};
    testing_support::DummyScreen screen;
    Application app{32};
    MainLoop loop{app};
    bool destroyed = false;
};
