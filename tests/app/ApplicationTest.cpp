// The Application's menus, cursor, main loop and settings file; the real program's failures at start-up.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"
#include "app/Application.h"
#include "app/Entry.h"
#include "variants/FallDownGame.h"
#include "variants/StandardGame.h"

using namespace testing_support;

namespace {

class App : public testing::Test {
protected:
    App() { app.draw(); }
    // A left click in the middle of a label, and the frame it asks for.
    void click(const SDL_Rect& r)
    {
        app.handleClick(int16_t(r.x + r.w / 2), int16_t(r.y + r.h / 2));
        app.draw();
    }

    TempDataDir dir;
    FakeClock clock{200000};
    DummyScreen screen;
    // The settings file as the player left it: the second tile set, no music, the plain window; and a flag
    // of the command line for this run.
    const bool written = writeSettings({1, false, 1, false});
    Application app{32, Options{.scale = 2}};
};

}  // namespace

// Each label leads to its screen, by a click or by Return on the marker, which the keys move over the labels
// in reading order. "(ende)" asks before a game ends; "Nein" goes back to it.
TEST_F(App, EveryLabelLeadsToItsScreenByMouseAndByKeys)
{
    const Buttons& b = app.buttons();
    const std::pair<const SDL_Rect*, ScreenState> route[] = {
        {&b.play, ChooseVariant}, {&b.variantChoices[1], ChooseColours}, {&b.colourChoices[3], InGame},
        {&b.endGame, ConfirmEnd}, {&b.endGame, InGame}, {&b.endGame, ConfirmEnd}, {&b.back, MainMenu},
        {&b.play, ChooseVariant}, {&b.variantChoices[2], ChooseDifficulty}, {&b.back, MainMenu},
        {&b.tileset, ChooseTileset}, {&b.tilesetChoices[3], MainMenu},
        {&b.highscores, ChooseHighscores}, {&b.highscoreChoices[0], HighscoreList}, {&b.back, MainMenu},
    };
    for (const bool byKeys : {false, true}) {
        for (const auto& [label, to] : route) {
            // The choices stand in reading order, evenly spaced; the line at the bottom aside.
            const std::vector<SDL_Rect> labels = app.labels();
            for (size_t i = 1; i < labels.size() && labels[i].y < 576; ++i)
                EXPECT_EQ(labels[i].y - labels[i - 1].y, std::max(labels[1].y - labels[0].y, 0));
            const auto at = std::ranges::find_if(labels, [&](const SDL_Rect& r) { return r.x == label->x; });
            // "(ende)" belongs to the game, whose keys move the cursor.
            const bool marked = byKeys && at != labels.end();
            for (int i = 0; i < 9 && marked && (!app.keyboardShown() || app.markedLabel() < at - labels.begin()); ++i)
                app.handleKey(SDLK_TAB, 0);
            // The marker is an arrow on the black left of its label.
            app.draw();
            const SDL_Rect left{int16_t(label->x - 12), label->y, 12, label->h};
            EXPECT_TRUE(at == labels.end() || (screen.countNonBlack(left) > 20) == marked);
            if (marked)
                app.handleKey(SDLK_RETURN, 13);
            else
                click(*label);
            app.draw();
            EXPECT_EQ(app.screen(), to);
        }
    }
}

// The arrow keys move the cursor from the bottom left cell, shown by the first key; Space on a cell does what
// a click on it does.
TEST_F(App, TheCursorPlaysACellAsTheMouseDoes)
{
    click(app.buttons().play);
    click(app.buttons().variantChoices[0]);
    const StandardRules rules = dynamic_cast<const StandardGame&>(*app.game()).rules();
    int16_t column = 1;  // a tile of the second row with one of its colour on its right
    while (column < LastColumn - 1 && rules.board.at(column, 1) != rules.board.at(column + 1, 1))
        ++column;
    app.handleClick(int16_t(column * TileSize), TileSize);
    const Board byMouse = app.game()->core().board;
    app.startGame(std::make_unique<StandardGame>(highscoresOf(0), systemRandom(), rules));
    for (int i = -1; i <= column + LastRow; ++i)  // to the top edge, and one row down
        app.handleKey(i < column ? SDLK_RIGHT : i < column + LastRow ? SDLK_UP : SDLK_DOWN, 0);
    EXPECT_EQ(std::pair(app.cursorCell().column, app.cursorCell().row), std::pair(column, int16_t(1)));
    app.handleKey(SDLK_SPACE, ' ');
    EXPECT_TRUE(app.game()->core().board == byMouse);
}

// Only a left press inside a label is a click. Escape and the close request end the loop after the pass that
// handles what is queued behind them.
TEST_F(App, OnlyALeftPressClicksAndEscapeOrCloseEndTheLoop)
{
    const auto push = [](SDL_Event event) { SDL_PushEvent(&event); };
    const SDL_Rect& play = app.buttons().play;
    const auto onPlay = [&](Uint8 type, Uint8 button) {  // in the window twice the size of the picture
        push({.button = {type, 0, button, 0, Uint16(2 * play.x + 9), Uint16(2 * play.y)}});
    };
    push({.key = {SDL_KEYDOWN, 0, 0, {0, SDLK_ESCAPE, KMOD_NONE, 27}}});
    onPlay(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    onPlay(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    // a left press on the first pixel right of the label
    const auto right = Uint16(2 * (play.x + play.w));
    push({.button = {SDL_MOUSEBUTTONDOWN, 0, SDL_BUTTON_LEFT, 0, right, Uint16(2 * play.y)}});
    EXPECT_FALSE(MainLoop(app).runPass());
    EXPECT_EQ(app.screen(), MainMenu);
    push({SDL_QUIT});
    onPlay(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    EXPECT_FALSE(MainLoop(app).runPass());
    EXPECT_EQ(app.screen(), ChooseVariant);
}

// The period starts with the loop's first pass and counts from the last tick, not from when it was due, so a
// late pass brings one tick, not ten; a paused game gets none. The millisecond counter wraps on the way.
// A tick that changed the game leaves a frame asked for.
TEST_F(App, TicksEvery500MillisecondsWhilePlaying)
{
    click(app.buttons().play);
    click(app.buttons().variantChoices[3]);
    clock.set(0xFFFFFE00u);
    app.handleClick(0, 560);  // FallDown feeds one tile a tick, from the first click on a tile on
    const FallDownRules& rules = dynamic_cast<const FallDownGame&>(*app.game()).rules();
    const int fed = rules.refillColumn;
    MainLoop loop(app);
    const std::pair<uint32_t, int> steps[] = {{0, 0}, {499, 0}, {201, 1}, {499, 1}, {1, 2}, {5000, 3}};
    int before = 0;
    for (const auto& [milliseconds, ticks] : steps) {
        clock.advance(milliseconds);
        loop.runPass();
        EXPECT_EQ(rules.refillColumn - fed, ticks) << milliseconds;
        const int frames = SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_EVENTMASK(SDL_USEREVENT));
        EXPECT_EQ(frames, ticks - before) << milliseconds;
        before = ticks;
    }
    click(app.buttons().endGame);  // "(ende)" pauses FallDown
    clock.advance(5000);
    loop.runPass();
    EXPECT_EQ(rules.refillColumn - fed, 3);
}

// The tile set, the music and the window start as the settings file says, the command line's flag laid over
// it for this run only; each choice of the player is written at once.
TEST_F(App, TheSettingsFileFollowsThePlayersChoices)
{
    EXPECT_EQ(std::tuple(app.tileset(), app.musicPlaying(), windowMode().fullscreen), std::tuple(1, false, false));
    click(app.buttons().music);
    EXPECT_EQ(readSettings(), (Settings{1, true, 1, false}));
    app.handleKey(SDLK_F11, 0);
    EXPECT_EQ(readSettings(), (Settings{1, true, 1, true}));
}

// A bad command line shows the usage and ends with status 2; a missing asset, a misshapen tile set or no
// video ends the program with its message and status 1.
TEST(Startup, FailuresEndTheProgramWithTheirMessageAndStatus)
{
    const std::string noTiles = "Konnte Data/tileset.bmp nicht laden.";
    const struct {
        std::string argument;
        std::string message;
        std::string driver = "dummy";
        int status = 1;
        int tilesetHeight = 0;  // a black tile set 64 pixels wide, one row short of 672
    } cases[] = {
        {"--scale=0", UsageText, "dummy", 2},
        {"--fullscreen", noTiles},
        {"--fullscreen", noTiles, "dummy", 1, 671},
        {"--fullscreen", "SDL konnte nicht initialisiert werden: ", "no-such-driver"},
    };
    for (const auto& c : cases) {
        TempDataDir dir({"boulder.ttf", "Musik.wav", "icon.bmp"});
        if (c.tilesetHeight > 0)
            writeBmp(dir.data() / "tileset.bmp", 64, c.tilesetHeight, [](int, int) { return SDL_Color{}; });
        // exit() on purpose: what is still allocated then is not lost
        const ProcessResult result = runProcess({gameBinary(), c.argument}, dir.path(),
                                                {{"ASAN_OPTIONS", "detect_leaks=0"}, {"SDL_VIDEODRIVER", c.driver}});
        EXPECT_EQ(result.status, c.status);
        EXPECT_THAT(result.err, testing::HasSubstr(c.message));
    }
}
