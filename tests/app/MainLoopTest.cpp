#include "AppFixture.h"

namespace {

SDL_Event key(SDLKey sym, Uint16 unicode)
{
    SDL_Event e{};
    e.key = {SDL_KEYDOWN, 0, SDL_PRESSED, {0, sym, KMOD_NONE, unicode}};
    return e;
}

SDL_Event button(Uint8 type, Uint8 which, Uint16 x = 321, Uint16 y = 123)
{
    SDL_Event e{};
    e.button = {type, 0, which, 0, x, y};
    return e;
}

class MainLoopTest : public AppTest {
protected:
    void SetUp() override { loop.runPass(); }  // the frame asked for at start

    void push(std::vector<SDL_Event> events)
    {
        for (SDL_Event& e : events)
            ASSERT_EQ(SDL_PushEvent(&e), 0);
    }

    int ticksAfter(uint32_t milliseconds)
    {
        clock.advance(milliseconds);
        loop.runPass();
        return static_cast<FakeGame*>(app.game)->ticks;
    }
};

}  // namespace

// Only a press of the left button is a click. A key edits the name only during name entry, and
// its frame is drawn at once, not through the queue.
TEST_F(MainLoopTest, OnlyLeftPressesAndKeysDuringNameEntryReachTheGame)
{
    const SDL_Event motion{SDL_MOUSEMOTION}, a = key(SDLK_a, 'a');
    const struct {
        ScreenState screen;
        int32_t state;
        std::vector<SDL_Event> events;
        Clicks clicks;
        std::string name;
        int draws;
    } cases[] = {
        {InGame, Playing,
         {button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT), button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE),
          button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT), motion},
         {}, "", 0},
        {InGame, Playing, {button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT)}, {{321, 123}}, "", 1},
        {InGame, Playing, {a}, {}, "", 0},
        {InGame, GameResults, {a}, {}, "", 0},
        {InGame, ShowHighscores, {a}, {}, "", 0},
        {ConfirmEnd, NameEntry, {a}, {}, "", 0},
        {InGame, NameEntry, {key(SDLK_a, 'A'), key(SDLK_WORLD_68, 0xE4), key(SDLK_b, 'b'), key(SDLK_BACKSPACE, 8)},
         {}, "A\xE4", 4},
    };
    for (const auto& c : cases) {
        FakeGame& game = startGame(c.state);
        app.screen = c.screen;
        push(c.events);
        EXPECT_TRUE(loop.runPass());
        EXPECT_EQ(std::tie(game.clicks, game.playerName, game.draws), std::tie(c.clicks, c.name, c.draws))
            << "screen " << c.screen << ", state " << c.state;
        EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_ALLEVENTS), 0);
    }
}

// Escape is not typed (that would draw a frame more); what is queued behind it is still handled.
TEST_F(MainLoopTest, EscapeAndTheCloseRequestEndRunAfterThePassThatHandlesTheEventsBehindThem)
{
    for (const SDL_Event& ending : {key(SDLK_ESCAPE, 27), SDL_Event{SDL_QUIT}}) {
        MainLoop fresh{app};
        FakeGame& game = startGame(NameEntry);
        push({ending, key(SDLK_b, 'b'), button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 40, 50)});
        fresh.run();
        EXPECT_EQ(fresh.passes(), 1u);
        EXPECT_FALSE(fresh.isRunning());
        EXPECT_EQ(std::tie(game.clicks, game.playerName), std::make_tuple(Clicks{{40, 50}}, std::string("b")));
        EXPECT_EQ(game.draws, 2) << "one frame for the key, one for the click";
    }
}

// The period counts from the end of the previous tick, and a late pass brings one tick, not ten.
TEST_F(MainLoopTest, TheTickComesEvery500MillisecondsAfterTheEndOfTheLastOneAndOnlyWhilePlaying)
{
    const struct {
        uint32_t start, tickDuration;
        std::vector<std::pair<uint32_t, int>> millisecondsAndTicks;
    } schedules[] = {
        {200000, 0, {{499, 0}, {1, 1}, {250, 1}, {249, 1}, {1, 2}}},
        {300000, 300, {{5000, 1}, {499, 1}, {1, 2}}},
        {0xFFFFFF00u, 0, {{499, 0}, {1, 1}}},  // due past the wrap of the millisecond counter
    };
    for (const auto& [start, tickDuration, steps] : schedules) {
        clock.set(start);
        loop.runPass();  // starts the period
        startGame(Playing).tickDuration = tickDuration;
        for (const auto& [milliseconds, ticks] : steps)
            EXPECT_EQ(ticksAfter(milliseconds), ticks) << "from " << start;
    }
    // A game that does not play is not called, but its period restarts the timer.
    FakeGame& game = startGame(Paused);
    EXPECT_EQ(ticksAfter(500), 0);
    game.state = Playing;
    EXPECT_EQ(ticksAfter(499), 0);
    EXPECT_EQ(ticksAfter(1), 1);
    app.screen = ConfirmEnd;  // the game exists but is not on screen
    EXPECT_EQ(ticksAfter(500), 1);
}
