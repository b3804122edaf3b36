#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "app/Application.h"
#include "app/Entry.h"
#include "game/Game.h"

using namespace testing_support;

namespace {

// A game that only counts what the Application asks of it.
class CountingGame : public Game {
public:
    explicit CountingGame(FakeClock* clock = nullptr, uint32_t tickDuration = 0)
        : clock(clock), tickDuration(tickDuration) {}
    void click(int32_t x, int32_t y) override { clicks.push_back({x, y}); }
    void draw() override { ++draws; }
    void tick() override
    {
        ++ticks;
        if (clock)
            clock->advance(tickDuration);  // a slow tick
    }
    void leave() override {}

    std::vector<std::pair<int32_t, int32_t>> clicks;
    int draws = 0;
    int ticks = 0;

private:
    FakeClock* clock;
    uint32_t tickDuration;
};

void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 0); }

SDL_Event keyDown(SDLKey sym, Uint16 unicode)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = sym;
    event.key.keysym.unicode = unicode;
    return event;
}

SDL_Event mouse(Uint8 type, Uint8 button, Uint16 x, Uint16 y)
{
    SDL_Event event{};
    event.type = type;
    event.button.button = button;
    event.button.x = x;
    event.button.y = y;
    return event;
}

SDL_Event ofType(Uint8 type)
{
    SDL_Event event{};
    event.type = type;
    return event;
}

int queuedEvents() { return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_ALLEVENTS); }

}  // namespace

class MainLoopTest : public testing::Test {
protected:
    void SetUp() override
    {
        loop.runPass();  // draws the first frame of the main menu
        recorder.clear();
    }

    CountingGame& startGame(int32_t state, uint32_t tickDuration = 0)
    {
        auto* game = new CountingGame(&clock, tickDuration);
        game->state = state;
        app.game = game;
        app.screen = InGame;
        return *game;
    }

    TempDataDir data{{"boulder.ttf", "tileset.bmp"}};
    FakeClock clock{200000};
    DummyScreen screen;
    Application app{32};
    MainLoop loop{app};
    TextRecorder recorder;
};

TEST_F(MainLoopTest, OnlyTheLeftButtonReachesTheApplication)
{
    CountingGame& game = startGame(Playing);
    push(mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 300, 200));
    push(mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 300, 200));
    push(mouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 300, 200));
    push(ofType(SDL_MOUSEMOTION));
    EXPECT_TRUE(loop.runPass());
    EXPECT_TRUE(game.clicks.empty());
    EXPECT_EQ(game.draws, 0) << "an ignored click must not even redraw";
    EXPECT_EQ(queuedEvents(), 0);

    push(mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 321, 123));
    EXPECT_TRUE(loop.runPass());
    ASSERT_EQ(game.clicks.size(), 1u);
    EXPECT_EQ(game.clicks[0], std::make_pair(321, 123));
}

TEST_F(MainLoopTest, TheRedrawEventDrawsAFrame)
{
    CountingGame& game = startGame(Playing);
    push(ofType(SDL_USEREVENT));
    loop.runPass();
    EXPECT_EQ(game.draws, 1);
    EXPECT_TRUE(recorder.contains("(ende)"));
}

TEST_F(MainLoopTest, KeysOutsideNameEntryChangeNothingAndDrawNothing)
{
    for (int32_t state : {Playing, GameResults, ShowHighscores}) {
        CountingGame& game = startGame(state);
        push(keyDown(SDLK_a, 'a'));
        loop.runPass();
        EXPECT_EQ(game.playerName, "");
        EXPECT_EQ(game.draws, 0);
        delete app.game;
    }
    app.game = nullptr;
    app.screen = MainMenu;
    push(keyDown(SDLK_a, 'a'));
    loop.runPass();
    EXPECT_TRUE(recorder.texts.empty());
    EXPECT_EQ(app.screen, MainMenu);
}

TEST_F(MainLoopTest, KeysDuringNameEntryEditTheNameAndDrawAtOnce)
{
    CountingGame& game = startGame(NameEntry);
    push(keyDown(SDLK_a, 'A'));
    push(keyDown(SDLK_WORLD_68, 0xE4));
    push(keyDown(SDLK_b, 'b'));
    push(keyDown(SDLK_BACKSPACE, 8));
    EXPECT_TRUE(loop.runPass());
    EXPECT_EQ(game.playerName, "A\xE4");
    EXPECT_EQ(game.draws, 4) << "one frame per key, drawn at once";
    EXPECT_EQ(queuedEvents(), 0) << "the frame is not requested through the queue";
}

TEST_F(MainLoopTest, EscapeEndsTheLoopEvenDuringNameEntryAndIsNotForwarded)
{
    CountingGame& game = startGame(NameEntry);
    push(keyDown(SDLK_ESCAPE, 27));
    EXPECT_FALSE(loop.runPass());
    EXPECT_FALSE(loop.isRunning());
    EXPECT_EQ(game.playerName, "");
    EXPECT_EQ(game.draws, 0);
}

TEST_F(MainLoopTest, EventsQueuedBehindTheEndAreStillHandledInTheSamePass)
{
    for (Uint8 ending : {Uint8(SDL_KEYDOWN), Uint8(SDL_QUIT)}) {
        CountingGame& game = startGame(Playing);
        push(ending == SDL_QUIT ? ofType(SDL_QUIT) : keyDown(SDLK_ESCAPE, 27));
        push(mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 40, 50));
        push(ofType(SDL_USEREVENT));
        clock.advance(500);
        EXPECT_FALSE(loop.runPass());
        EXPECT_EQ(game.clicks.size(), 1u);
        EXPECT_GE(game.draws, 1);
        EXPECT_EQ(game.ticks, 1) << "the pass still checks the tick";
        SDL_Event left;
        while (SDL_PollEvent(&left)) {
        }
        delete app.game;
    }
    app.game = nullptr;
}

TEST_F(MainLoopTest, RunEndsAfterThePassThatSawEscape)
{
    const uint64_t before = loop.passes();
    push(keyDown(SDLK_ESCAPE, 27));
    loop.run();
    EXPECT_EQ(loop.passes(), before + 1);
}

TEST_F(MainLoopTest, TheTickComesEvery500MillisecondsWhilePlaying)
{
    CountingGame& game = startGame(Playing);
    clock.advance(499);
    loop.runPass();
    EXPECT_EQ(game.ticks, 0);
    clock.advance(1);
    loop.runPass();
    EXPECT_EQ(game.ticks, 1);
    clock.advance(250);
    loop.runPass();
    clock.advance(249);
    loop.runPass();
    EXPECT_EQ(game.ticks, 1);
    clock.advance(1);
    loop.runPass();
    EXPECT_EQ(game.ticks, 2);
}

TEST_F(MainLoopTest, ThePeriodCountsFromTheEndOfASlowTickAndAPassTicksOnce)
{
    CountingGame& game = startGame(Playing, 300);
    clock.advance(5000);
    loop.runPass();
    EXPECT_EQ(game.ticks, 1) << "a late pass brings one tick, not ten";
    clock.advance(499);
    loop.runPass();
    EXPECT_EQ(game.ticks, 1);
    clock.advance(1);
    loop.runPass();
    EXPECT_EQ(game.ticks, 2);
}

TEST_F(MainLoopTest, TheTimerRestartsWithoutCallingAGameThatDoesNotPlay)
{
    CountingGame& game = startGame(Paused);
    clock.advance(500);
    loop.runPass();
    EXPECT_EQ(game.ticks, 0);
    game.state = Playing;
    clock.advance(499);
    loop.runPass();
    EXPECT_EQ(game.ticks, 0) << "the paused period restarted the timer";
    clock.advance(1);
    loop.runPass();
    EXPECT_EQ(game.ticks, 1);

    app.screen = ConfirmEnd;  // the game exists but is not on screen
    clock.advance(500);
    loop.runPass();
    EXPECT_EQ(game.ticks, 1);
}

TEST(MainLoopClock, TheTickSurvivesTheWrapOfTheMillisecondCounter)
{
    TempDataDir data{{"boulder.ttf", "tileset.bmp"}};
    FakeClock clock{0xFFFFFF00u};
    DummyScreen screen;
    Application app{32};
    MainLoop loop{app};
    auto* game = new CountingGame;
    app.game = game;
    app.screen = InGame;
    loop.runPass();
    clock.set(0xFFFFFF00u + 499);
    loop.runPass();
    EXPECT_EQ(game->ticks, 0);
    clock.set(0xFFFFFF00u + 500);  // past zero
    loop.runPass();
    EXPECT_EQ(game->ticks, 1);
}
