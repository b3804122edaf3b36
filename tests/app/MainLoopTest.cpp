#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "app/Application.h"
#include "app/Entry.h"
#include "game/Game.h"

using namespace testing_support;

namespace {

// A game that only counts what the Application asks of it; a slow tick moves the clock on.
class CountingGame : public Game {
public:
    CountingGame(FakeClock& clock, uint32_t tickDuration) : clock(clock), tickDuration(tickDuration) {}
    void click(int32_t x, int32_t y) override { clicks.push_back({x, y}); }
    void draw() override { ++draws; }
    void tick() override
    {
        ++ticks;
        clock.advance(tickDuration);
    }
    void leave() override {}

    std::vector<std::pair<int32_t, int32_t>> clicks;
    int draws = 0;
    int ticks = 0;

private:
    FakeClock& clock;
    uint32_t tickDuration;
};

void push(Uint8 type, SDLKey sym = SDLK_UNKNOWN, Uint16 unicode = 0)
{
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = sym;
    event.key.keysym.unicode = unicode;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

void pushButton(Uint8 type, Uint8 button, Uint16 x, Uint16 y)
{
    SDL_Event event{};
    event.type = type;
    event.button.button = button;
    event.button.x = x;
    event.button.y = y;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

int queuedEvents() { return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_ALLEVENTS); }

class MainLoopTest : public testing::Test {
protected:
    void SetUp() override
    {
        loop.runPass();  // draws the first frame of the main menu
        recorder.clear();
    }

    CountingGame& startGame(int32_t state, uint32_t tickDuration = 0)
    {
        delete app.game;
        auto* game = new CountingGame(clock, tickDuration);
        game->state = state;
        app.game = game;
        app.screen = InGame;
        return *game;
    }

    int ticksAfter(uint32_t milliseconds)
    {
        clock.advance(milliseconds);
        loop.runPass();
        return static_cast<CountingGame*>(app.game)->ticks;
    }

    TempDataDir data{{"boulder.ttf", "tileset.bmp"}};
    FakeClock clock{200000};
    DummyScreen screen;
    Application app{32};
    MainLoop loop{app};
    TextRecorder recorder;
};

}  // namespace

TEST_F(MainLoopTest, OnlyAPressOfTheLeftButtonReachesTheApplication)
{
    CountingGame& game = startGame(Playing);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 300, 200);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 300, 200);
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 300, 200);
    push(SDL_MOUSEMOTION);
    EXPECT_TRUE(loop.runPass());
    EXPECT_TRUE(game.clicks.empty());
    EXPECT_EQ(game.draws, 0) << "an ignored click must not even redraw";
    EXPECT_EQ(queuedEvents(), 0);

    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 321, 123);
    loop.runPass();
    EXPECT_EQ(game.clicks, (std::vector<std::pair<int32_t, int32_t>>{{321, 123}}));
}

TEST_F(MainLoopTest, KeysEditTheNameOnlyDuringNameEntryAndThenDrawAtOnce)
{
    for (int32_t state : {Playing, GameResults, ShowHighscores}) {
        CountingGame& game = startGame(state);
        push(SDL_KEYDOWN, SDLK_a, 'a');
        loop.runPass();
        EXPECT_EQ(game.playerName, "");
        EXPECT_EQ(game.draws, 0);
    }
    CountingGame& game = startGame(NameEntry);
    push(SDL_KEYDOWN, SDLK_a, 'A');
    push(SDL_KEYDOWN, SDLK_WORLD_68, 0xE4);
    push(SDL_KEYDOWN, SDLK_b, 'b');
    push(SDL_KEYDOWN, SDLK_BACKSPACE, 8);
    loop.runPass();
    EXPECT_EQ(game.playerName, "A\xE4");
    EXPECT_EQ(game.draws, 4) << "one frame per key, drawn at once";
    EXPECT_EQ(queuedEvents(), 0) << "the frame is not requested through the queue";

    delete app.game;
    app.game = nullptr;
    app.screen = MainMenu;
    push(SDL_KEYDOWN, SDLK_a, 'a');
    loop.runPass();
    EXPECT_TRUE(recorder.texts.empty());
}

TEST_F(MainLoopTest, EscapeEndsRunAfterItsPassEvenDuringNameEntryAndIsNotForwarded)
{
    CountingGame& game = startGame(NameEntry);
    const uint64_t before = loop.passes();
    push(SDL_KEYDOWN, SDLK_ESCAPE, 27);
    loop.run();
    EXPECT_EQ(loop.passes(), before + 1);
    EXPECT_FALSE(loop.isRunning());
    EXPECT_EQ(game.playerName, "");
    EXPECT_EQ(game.draws, 0);
}

TEST_F(MainLoopTest, EventsQueuedBehindTheEndAreStillHandledInTheSamePass)
{
    for (Uint8 ending : {SDL_KEYDOWN, SDL_QUIT}) {
        MainLoop fresh{app};
        fresh.runPass();
        CountingGame& game = startGame(Playing);
        push(ending, SDLK_ESCAPE, 27);
        pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 40, 50);
        push(SDL_USEREVENT);
        clock.advance(500);
        EXPECT_FALSE(fresh.runPass());
        EXPECT_EQ(game.clicks.size(), 1u);
        EXPECT_GE(game.draws, 1);
        EXPECT_EQ(game.ticks, 1) << "the pass still checks the tick";
    }
}

// The period counts from the end of the previous tick, and a late pass brings one tick, not ten.
TEST_F(MainLoopTest, TheTickComesEvery500MillisecondsAfterTheEndOfTheLastOne)
{
    struct Schedule {
        uint32_t start;
        uint32_t tickDuration;
        std::vector<std::pair<uint32_t, int>> millisecondsAndTicks;
    };
    const Schedule schedules[] = {
        {200000, 0, {{499, 0}, {1, 1}, {250, 1}, {249, 1}, {1, 2}}},
        {300000, 300, {{5000, 1}, {499, 1}, {1, 2}}},
        {0xFFFFFF00u, 0, {{499, 0}, {1, 1}}},  // due past the wrap of the millisecond counter
    };
    for (const auto& [start, tickDuration, steps] : schedules) {
        clock.set(start);
        loop.runPass();  // starts the period
        startGame(Playing, tickDuration);
        int elapsed = 0;
        for (const auto& [milliseconds, ticks] : steps)
            EXPECT_EQ(ticksAfter(milliseconds), ticks) << "from " << start << " after " << (elapsed += milliseconds);
    }
}

TEST_F(MainLoopTest, TheTimerRestartsWithoutCallingAGameThatDoesNotPlay)
{
    CountingGame& game = startGame(Paused);
    EXPECT_EQ(ticksAfter(500), 0);
    game.state = Playing;
    EXPECT_EQ(ticksAfter(499), 0) << "the paused period restarted the timer";
    EXPECT_EQ(ticksAfter(1), 1);
    app.screen = ConfirmEnd;  // the game exists but is not on screen
    EXPECT_EQ(ticksAfter(500), 1);
}
