// The Application's screens, transitions, frame around a game and main loop; the real program's start-up failures.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "BoardText.h"
#include "TestSupport.h"
#include "app/Application.h"
#include "app/Entry.h"
#include "gfx/Tileset.h"
#include "variants/ChaosGame.h"
#include "variants/FallDownGame.h"
#include "variants/SpeedGame.h"
#include "variants/StandardGame.h"

using namespace testing_support;

namespace {

using Label = std::tuple<std::string, int32_t, int32_t, TextAlign, int32_t>;  // text, x, y, alignment, size
const std::string back = "zur\xFC" "ck zum Men\xFC";
constexpr auto C = TextAlign::Center, L = TextAlign::Left;

struct FakeGame : Game {
    FakeGame() : Game(std::make_unique<HighscoreRows>("Liste", 10), systemRandom()) {}
    void click(int32_t x, int32_t y) override { clicks.emplace_back(x, y); if (endsOnClick) play.state = GameResults; }
    void draw() override { ++draws, drawText("Spielfeld", 0, 100, C, 18, nullptr); }
    bool tick() override { return ++ticks, FakeClock::ticks += tickDuration, changesOnTick; }  // a slow tick
    void leave() override { ++leaves; }
    const GameCore& core() const override { return play; }
    GameCore& changeableCore() override { return play; }
    void drawStatusBar() override {}
    void drawResults() const override {}

    GameCore play;
    std::vector<std::pair<int32_t, int32_t>> clicks;
    int draws = 0, ticks = 0, leaves = 0;
    uint32_t tickDuration = 0;
    bool endsOnClick = false, changesOnTick = false;
};

std::string describe(const Game* g)  // "Standart", "Chaos 4", "Speed 1", ...
{
    auto* chaos = dynamic_cast<const ChaosGame*>(g);
    auto* speed = dynamic_cast<const SpeedGame*>(g);
    return chaos ? "Chaos " + std::to_string(chaos->core().colourCount)
         : speed ? "Speed " + std::to_string(speed->rules().difficulty)
         : dynamic_cast<const StandardGame*>(g) ? "Standart" : dynamic_cast<const FallDownGame*>(g) ? "FallDown" : "";
}

class App : public testing::Test {
protected:
    App() { app.draw(); }

    FakeGame& startGame(GameState state, ScreenState on = InGame)
    {
        auto owned = std::make_unique<FakeGame>();
        FakeGame& game = *owned;
        app.startGame(std::move(owned));
        if (on == ConfirmEnd)  // the game forgets the click and the frame on the way
            clickEnde(), game.clicks.clear(), game.draws = 0;
        return game.play.state = state, game;
    }
    void clickEnde() { app.draw(), click(app.buttons().endGame), takeRedrawRequests(); }  // to ConfirmEnd if playing
    void click(const SDL_Rect& r) { app.handleClick(int16_t(r.x + r.w / 2), int16_t(r.y + r.h / 2)); }
    int takeRedrawRequests() { SDL_Event taken[16]; return SDL_PeepEvents(taken, 16, SDL_GETEVENT, 1u << SDL_USEREVENT); }
    std::vector<Label> drawnTexts()
    {
        TextRecorder recorder;
        app.draw();
        std::vector<Label> texts;
        for (const auto& t : recorder.texts)
            texts.emplace_back(t.text, t.x, t.y, t.align, t.size);
        return texts;
    }

    TempDataDir dir;
    FakeClock clock{200000};
    DummyScreen screen;
    Application app{32};
    MainLoop loop{app};
};

SDL_Event key(SDLKey sym, Uint16 unicode) { return {.key = {SDL_KEYDOWN, 0, 0, {0, sym, KMOD_NONE, unicode}}}; }
SDL_Event mouse(Uint8 type, Uint8 button) { return {.button = {type, 0, button, 0, 321, 123}}; }

}  // namespace

// Each click asks for one frame; a click on nothing changes nothing else. Every menu screen draws exactly its
// layout, and a button's rectangle is where its glyphs are. A difficulty for another variant is fatal.
TEST_F(App, EveryButtonLeadsToItsScreenWhichDrawsExactlyItsLayoutAndEndeEndsTheProcess)
{
    const Label backButton{back, 0, 576, C, 18};
    const std::map<ScreenState, std::vector<Label>> layouts = {
        {MainMenu, {{"K L A K O R I A", 0, 10, C, 72}, {"Spielen", 0, 130, C, 30}, {"TileSet", 0, 180, C, 30},
                    {"Highscores", 0, 230, C, 30}, {"Info", 0, 280, C, 30}, {"Ende", 0, 330, C, 30},
                    {"Hintergrundmusik aus", 0, 576, C, 18}}},
        {ChooseVariant,
         {{"Welche Spielvariante spielen?", 0, 10, C, 50}, {"Standart Click", 0, 100, C, 35},
          {"Standartvariante mit 6 Level.", 0, 140, C, 16}, {"Mit jedem Level werden es mehr Farben.", 0, 162, C, 16},
          {"Chaos Click", 0, 200, C, 35}, {"Bei jedem Click in das Feld,", 0, 240, C, 16},
          {"wird das Feld woanders zentriert.", 0, 262, C, 16}, {"Speed Click", 0, 300, C, 35},
          {"Mit jeder Sekunde werden Punkte abgezogen.", 0, 340, C, 16},
          {"Bei weniger als 0 Punkten ist das Spiel zuende!", 0, 362, C, 16}, {"FallDown Click", 0, 400, C, 35},
          {"Die Oberste Reihe wird st\xE4ndig gef\xFCllt.", 0, 440, C, 16},
          {"Wenn sie nicht gef\xFCllt werden kann, hat man Verloren!", 0, 462, C, 16}, backButton}},
        {ChooseColours, {{"Mit wievel Farben spielen?", 0, 10, C, 50}, {"zwei Farben", 0, 100, C, 35},
                         {"drei Farben", 0, 150, C, 35}, {"vier Farben", 0, 200, C, 35},
                         {"f\xFCnf Farben", 0, 250, C, 35}, backButton}},
        {ChooseDifficulty, {{"Welche Schwierigkeitsstufe?", 0, 10, C, 50}, {"Leicht", 0, 100, C, 35},
                            {"Mittel", 0, 150, C, 35}, {"Schwer", 0, 200, C, 35}, backButton}},
        {ChooseTileset, {{"Welches TileSet verwenden?", 0, 10, C, 50}, {"TileSet 1", 59, 180, L, 16},
                         {"TileSet 2", 209, 180, L, 16}, {"TileSet 3", 359, 180, L, 16}, {"TileSet 4", 509, 180, L, 16},
                         {"TileSet 5", 659, 180, L, 16}, backButton}},
        {Info, {{"Klakoria: Gruppen anklicken, Feld leeren.", 0, 100, C, 30},
                {"Ein Spiel des Klakoria-Teams.", 0, 150, C, 30}, backButton}},
        {ChooseHighscores, {{"Welche Highscore anzeigen?", 0, 10, C, 50}, {"Standart Click", 0, 110, C, 35},
                            {"Chaos Click", 0, 160, C, 35}, {"Speed Click", 0, 210, C, 35},
                            {"FallDown Click", 0, 260, C, 35}, backButton}},
        {ConfirmEnd, {{"Wirklich beenden", 0, 150, C, 45}, {"Ja", 325, 200, TextAlign::Right, 30},
                      {"Nein", 475, 200, L, 30}}},
    };
    const Buttons& b = app.buttons();
    const SDL_Rect nothing{0, 580, 10, 10};
    const SDL_Rect besidePlay{Sint16(b.play.x + b.play.w), b.play.y, 1, 1};  // the first pixel right of it
    const SDL_Rect *play = &b.play, *to = &b.back, *ende = &b.endGame, *v = b.variantChoices;
    const struct { const SDL_Rect* button; ScreenState screen; std::string game = ""; } steps[] = {
        {&nothing, MainMenu}, {&besidePlay, MainMenu}, {play, ChooseVariant}, {&nothing, ChooseVariant}, {to, MainMenu},
        {&b.tileset, ChooseTileset}, {&nothing, ChooseTileset}, {to, MainMenu},
        {&b.highscores, ChooseHighscores}, {&nothing, ChooseHighscores},
        {&b.highscoreChoices[2], HighscoreList}, {&nothing, HighscoreList}, {to, MainMenu},
        {&b.info, Info}, {&nothing, Info}, {to, MainMenu},
        {play, ChooseVariant}, {&v[0], InGame, "Standart"}, {ende, ConfirmEnd, "Standart"}, {to, MainMenu},
        {play, ChooseVariant}, {&v[1], ChooseColours}, {to, MainMenu}, {play, ChooseVariant}, {&v[1], ChooseColours},
        {&b.colourChoices[2], InGame, "Chaos 4"}, {ende, ConfirmEnd, "Chaos 4"}, {to, MainMenu},
        {play, ChooseVariant}, {&v[2], ChooseDifficulty}, {to, MainMenu}, {play, ChooseVariant},
        {&v[2], ChooseDifficulty}, {&b.difficultyChoices[1], InGame, "Speed 1"}, {ende, ConfirmEnd, "Speed 1"},
        {to, MainMenu}, {play, ChooseVariant}, {&v[3], InGame, "FallDown"}, {ende, ConfirmEnd, "FallDown"},
        {to, MainMenu},
    };
    EXPECT_EQ(takeRedrawRequests(), 1) << "the first frame";
    for (const auto& step : steps) {
        ASSERT_GT(step.button->w, 0) << "a button to screen " << step.screen << " was never drawn";
        click(*step.button);
        EXPECT_EQ(takeRedrawRequests(), 1);
        EXPECT_EQ(std::make_pair(app.screen(), describe(app.game())), std::make_pair(step.screen, step.game));
        EXPECT_TRUE(!app.game() || app.game()->highscores().title() == variantNames[size_t(app.variant())])
            << "a game keeps its own variant's list";
        const auto texts = drawnTexts();  // a game's screens and the list have no layout of their own
        EXPECT_EQ(texts, layouts.contains(step.screen) ? layouts.at(step.screen) : texts) << "screen " << step.screen;
        EXPECT_EQ(tileRects[0].y, 4 * TileSetBand) << "the fifth set, chosen at start";
    }
    // "Spielen" centred on the window, its glyphs inside its rectangle and none beside it
    const SDL_Rect s = b.play;
    EXPECT_NEAR(s.x + s.w / 2.0, 400.0, 1.0);
    EXPECT_GT(screen.countRed(s), 20);
    EXPECT_EQ(screen.countRed({Sint16(s.x - 30), 130, static_cast<Uint16>(s.w + 60), s.h}), screen.countRed(s));
    EXPECT_EQ(b.back.w + b.endGame.w, 0);  // drawn on the screen before, forgotten by this frame
    click(b.music);  // the label names what a click will do
    EXPECT_EQ(std::make_pair(std::get<0>(drawnTexts().back()), app.musicPlaying()),
              std::make_pair(std::string("Hintergrundmusik an"), false));
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(click(b.quit), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(exitUnlessSpeed(3), testing::ExitedWithCode(6), "Ungueltige Spielnummer: 3\n");
}

// "(ende)" shows only while playing, reaches the game as a click too and pauses it through leave(); "Nein"
// returns untold. A click that ends the game, and one queued behind it, find "(ende)" gone.
TEST_F(App, EndeAsksBeforeEndingAGameThatIsStillPlayingAndTheListHasTheBackButton)
{
    FakeGame& game = startGame(Playing);
    const Label board{"Spielfeld", 0, 100, C, 18};
    const std::vector<std::pair<GameState, std::vector<Label>>> frames = {
        {ShowHighscores, {board, {back, 0, 576, C, 18}}}, {LevelResults, {board}}, {GameResults, {board}},
        {NameEntry, {board}}, {Paused, {board}}, {Playing, {board, {"(ende)", 200, 576, L, 18}}},
    };
    for (const auto& [state, expected] : frames) {
        game.play.state = state;
        EXPECT_EQ(drawnTexts(), expected) << "state " << state;
    }
    const SDL_Rect ende = app.buttons().endGame;
    const std::tuple<size_t, int, ScreenState> afterEachClick[] = {
        {1, 1, ConfirmEnd}, {1, 1, InGame}, {2, 1, InGame}, {3, 1, InGame}};
    for (int i = 0; i < 4; ++i) {
        game.endsOnClick = i >= 2;
        click(i == 1 ? app.buttons().endGame : ende);  // "(ende)", "Nein", "(ende)" twice
        if (i < 2)
            app.draw();
        EXPECT_EQ(std::make_tuple(game.clicks.size(), game.leaves, app.screen()), afterEachClick[i]) << "click " << i;
    }
}

// The keys reach every label in reading order, and Return on one does what a click on it does. The
// marker shows with the first key, paints only on the black beside its label and goes with a click.
TEST_F(App, ReturnOnTheMarkedLabelDoesWhatAClickDoes)
{
    const Buttons& b = app.buttons();
    const SDL_Rect* ende = &b.endGame;
    const struct { const SDL_Rect* label; ScreenState screen; } steps[] = {
        {&b.music, MainMenu}, {&b.tileset, ChooseTileset}, {&b.tilesetChoices[1], MainMenu},
        {&b.highscores, ChooseHighscores}, {&b.highscoreChoices[0], HighscoreList}, {&b.back, MainMenu},
        {&b.info, Info}, {&b.back, MainMenu}, {&b.play, ChooseVariant}, {&b.variantChoices[1], ChooseColours},
        {&b.back, MainMenu}, {&b.play, ChooseVariant}, {&b.variantChoices[2], ChooseDifficulty},
        {&b.difficultyChoices[2], InGame}, {ende, ConfirmEnd}, {&b.back, MainMenu}, {&b.play, ChooseVariant},
        {&b.variantChoices[0], InGame}, {ende, ConfirmEnd}, {&b.endGame, InGame}, {ende, ConfirmEnd},
        {&b.back, MainMenu},
    };
    const auto pixels = [&] {
        app.draw();
        const auto* first = static_cast<const Uint32*>(screenSurface->pixels);
        return std::vector<Uint32>(first, first + WindowWidth * WindowHeight);
    };
    const auto byReadingOrder = [](const SDL_Rect& a, const SDL_Rect& b) { return std::tie(a.y, a.x) < std::tie(b.y, b.x); };
    const Uint32 black = SDL_MapRGB(screenSurface->format, 0, 0, 0);
    for (const auto& step : steps) {
        SCOPED_TRACE(&step - steps);
        if (step.label == ende) {  // "(ende)" belongs to the game, whose keys move the cursor
            clickEnde();
            continue;
        }
        app.handleClick(0, 599);  // on nothing: the marker goes
        const std::vector<Uint32> unmarked = pixels();
        const std::vector<SDL_Rect> labels = app.labels();
        EXPECT_TRUE(std::is_sorted(labels.begin(), labels.end(), byReadingOrder));
        const auto at = std::find_if(labels.begin(), labels.end(), [&](const SDL_Rect& r) {
            return std::tie(r.x, r.y, r.w, r.h) == std::tie(step.label->x, step.label->y, step.label->w, step.label->h);
        });
        ASSERT_NE(at, labels.end());
        const int wanted = static_cast<int>(at - labels.begin());
        const bool upward = wanted == static_cast<int>(labels.size()) - 1;
        app.handleKey(upward ? SDLK_UP : SDLK_TAB, 0);  // the first key shows the marker on the first or last label
        while (app.markedLabel() != wanted && app.markedLabel() < static_cast<int>(labels.size()))
            app.handleKey(SDLK_DOWN, 0);
        const std::vector<Uint32> marked = pixels();
        int changed = 0;
        for (int i = 0; i < WindowWidth * WindowHeight; ++i) {
            if (marked[size_t(i)] != unmarked[size_t(i)]) {
                ++changed;
                ASSERT_EQ(unmarked[size_t(i)], black) << "the marker covers a text at " << i % WindowWidth;
                ASSERT_LT(i % WindowWidth, at->x);
            }
        }
        EXPECT_GT(changed, 20) << "the marker shows";
        takeRedrawRequests();
        const bool musicBefore = app.musicPlaying();
        app.handleKey(SDLK_RETURN, 13);
        EXPECT_EQ(std::make_tuple(app.screen(), takeRedrawRequests()), std::make_tuple(step.screen, 1));
        EXPECT_EQ(app.musicPlaying(), musicBefore != (step.label == &b.music));
    }
    EXPECT_EQ(app.tileset(), 1);
}

// The same moves by keys and by mouse give the same boards, points and screens. The cursor starts on the
// cell of the last click, else the bottom left one, shows with the first arrow key, stops at the edges and
// hides with the next click.
TEST_F(App, ALevelPlayedByKeysGoesAsByMouse)
{
    click(app.buttons().play), app.draw(), click(app.buttons().variantChoices[0]);
    StandardRules rules = dynamic_cast<const StandardGame&>(*app.game()).rules();
    rules.board = boardFromBottomRows({"3.1..", "2213.", "13321", "12232"});
    // The rightmost group, topmost first: the moves cross the board in every direction.
    const auto nextGroup = [](const Board& board) -> std::optional<Cell> {
        for (int16_t c = LastColumn; c >= 0; --c)
            for (int16_t r = 0; r < LastRow; ++r)
                if (holdsTile(board.at(c, r)) && (board.at(c, r + 1) == board.at(c, r) ||
                                                  (c > 0 && board.at(c - 1, r) == board.at(c, r))))
                    return Cell{c, r};
        return std::nullopt;
    };
    const auto play = [&](bool byKeys) {
        app.startGame(std::make_unique<StandardGame>(highscoresOf(0), systemRandom(), rules));
        std::vector<std::string> seen;
        const auto& game = dynamic_cast<const StandardGame&>(*app.game());
        while (const std::optional<Cell> cell = nextGroup(game.rules().board)) {
            app.draw();
            if (byKeys) {
                app.handleKey(SDLK_LEFT, 0);  // shows the cursor, or moves it left
                while (app.cursorCell().column != cell->column)
                    app.handleKey(app.cursorCell().column < cell->column ? SDLK_RIGHT : SDLK_LEFT, 0);
                while (app.cursorCell().row != cell->row)
                    app.handleKey(app.cursorCell().row < cell->row ? SDLK_DOWN : SDLK_UP, 0);
                app.handleKey(SDLK_SPACE, ' ');
            } else {
                app.handleClick(int16_t(cell->column * TileSize + 16), int16_t(cell->row * TileSize + 16));
            }
            seen.push_back(boardText(game.rules().board) + std::to_string(game.rules().levelPoints));
        }
        EXPECT_EQ(app.game()->state(), LevelResults);
        for (const Label& text : drawnTexts())
            seen.push_back(std::get<0>(text));
        byKeys ? app.handleKey(SDLK_RETURN, 13) : click(continueButton);  // "weiter"
        seen.push_back(std::to_string(game.rules().level) + (game.state() == Playing ? " playing" : ""));
        return seen;
    };
    const std::vector<std::string> byMouse = play(false);
    EXPECT_EQ(byMouse.back(), "2 playing");
    EXPECT_EQ(play(true), byMouse);
    app.handleClick(0, 599);  // below the board
    EXPECT_FALSE(app.keyboardShown());
    app.startGame(std::make_unique<StandardGame>(highscoresOf(0), systemRandom(), rules));
    app.handleKey(SDLK_SPACE, ' ');
    EXPECT_TRUE(app.game()->core().board == rules.board) << "a hidden cursor clicks nothing";
    app.handleKey(SDLK_DOWN, 0);
    EXPECT_EQ(std::make_tuple(app.keyboardShown(), app.cursorCell().column, app.cursorCell().row),
              std::make_tuple(true, int16_t(0), LastRow)) << "the bottom left cell, the cursor only shown";
    app.handleKey(SDLK_DOWN, 0);
    app.handleKey(SDLK_LEFT, 0);
    EXPECT_EQ(std::make_pair(app.cursorCell().column, app.cursorCell().row), std::make_pair(int16_t(0), LastRow));
    app.handleClick(3 * TileSize, 2 * TileSize);
    app.handleKey(SDLK_UP, 0);
    EXPECT_EQ(std::make_pair(app.cursorCell().column, app.cursorCell().row), std::make_pair(int16_t(3), int16_t(2)));
    app.draw();
    const auto white = [](SDL_Color c) { return c.r == 255 && c.g == 255 && c.b == 255; };
    for (const auto& [x, y] : {std::pair{1, 16}, {30, 16}, {16, 1}, {16, 30}})
        EXPECT_TRUE(white(screen.pixel(3 * TileSize + x, 2 * TileSize + y))) << "a white ring inside the cell";
    EXPECT_FALSE(white(screen.pixel(3 * TileSize, 2 * TileSize + 16))) << "in a black one";
}

// Only a left press is a click; a key edits the name only during name entry and draws at once.
// Escape (not typed) and the close request end the loop after the pass that handles what follows.
TEST_F(App, OnlyLeftPressesAndKeysDuringNameEntryReachTheGameAndEscapeOrCloseEndTheLoop)
{
    const SDL_Event a = key(SDLK_a, 'a'), b = key(SDLK_b, 'b'), left = mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    const struct { ScreenState screen; GameState state; std::vector<SDL_Event> events; size_t clicks; std::string name;
                   int draws; bool goesOn = true; } cases[] = {
        {InGame, Playing,
         {mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT), mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE),
          mouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT), mouse(SDL_MOUSEMOTION, 0), a}, 0, "", 0},
        {InGame, Playing, {left}, 1, "", 1},
        {ConfirmEnd, NameEntry, {a}, 0, "", 0},
        {InGame, NameEntry, {key(SDLK_WORLD_68, 0xE4), a, b, key(SDLK_BACKSPACE, 8)}, 0, "\xE4" "a", 4},
        {InGame, NameEntry, {key(SDLK_ESCAPE, 27), b, left}, 1, "b", 2, false},
        {InGame, NameEntry, {SDL_Event{SDL_QUIT}, b, left}, 1, "b", 2, false},
    };
    loop.runPass();  // the frame asked for at start
    for (const auto& c : cases) {
        FakeGame& game = startGame(c.state, c.screen);
        for (SDL_Event e : c.events)
            ASSERT_EQ(SDL_PushEvent(&e), 0);
        EXPECT_EQ(MainLoop{app}.runPass(), c.goesOn);
        EXPECT_EQ(std::make_tuple(game.clicks.size(), game.play.playerName, game.draws),
                  std::make_tuple(c.clicks, c.name, c.draws)) << "screen " << c.screen << ", state " << c.state;
    }
    EXPECT_EQ(static_cast<const FakeGame&>(*app.game()).clicks.at(0), std::make_pair(321, 123));
}

// The period counts from the end of the last tick; a late pass brings one tick, not ten. A game not
// playing or not on screen is not called, but its period restarts. A tick that changed the screen asks
// for one frame, any other for none.
TEST_F(App, TheTickComesEvery500MillisecondsAfterTheEndOfTheLastOneAndOnlyWhilePlaying)
{
    struct Step { uint32_t milliseconds; int ticks; GameState state = Playing; ScreenState screen = InGame; };
    const struct { uint32_t start, tickDuration; bool changes; std::vector<Step> steps; } schedules[] = {
        {200000, 0, true, {{499, 0}, {1, 1}, {250, 1}, {249, 1}, {1, 2}}},
        {300000, 300, false, {{5000, 1}, {499, 1}, {1, 2}}},
        {0xFFFFFF00u, 0, true, {{499, 0}, {1, 1}}},  // due past the wrap of the millisecond counter
        {400000, 0, true, {{500, 0, Paused}, {499, 0}, {1, 1}, {500, 1, Playing, ConfirmEnd}}},
    };
    for (const auto& [start, tickDuration, changes, steps] : schedules) {
        clock.set(start);
        loop.runPass();  // starts the period
        FakeGame& game = startGame(Playing);
        game.tickDuration = tickDuration, game.changesOnTick = changes;
        for (const Step& step : steps) {
            const int ticksBefore = game.ticks;
            if (game.play.state = step.state; step.screen != app.screen())
                clickEnde();
            clock.advance(step.milliseconds);
            loop.runPass();
            EXPECT_EQ(std::make_pair(game.ticks, takeRedrawRequests()),
                      std::make_pair(step.ticks, changes && step.ticks > ticksBefore ? 1 : 0)) << "from " << start;
        }
    }
}

// The tile set, the music and the window come from the settings file; a flag overrides the file for
// this run only, and each choice of the player is written back at once.
TEST(AppSettings, TheFileGivesTheStartAndEveryChoiceIsWrittenBackAtOnce)
{
    TempDataDir dir;
    FakeClock clock;
    DummyScreen screen;
    const auto file = [](int tileset, int music, int fullscreen) {
        return "tileset=" + std::to_string(tileset) + "\nmusic=" + std::to_string(music) + "\nscale=1\nfullscreen=" +
               std::to_string(fullscreen) + "\n";
    };
    dir.writeFile("Data/klakoria.cfg", file(2, 0, 0));
    Options twice;
    twice.scale = 2;
    Application app(32, twice);
    EXPECT_EQ(std::make_tuple(app.tileset(), app.musicPlaying(), SDL_GetVideoSurface()->w), std::make_tuple(1, false, 1600));
    const auto click = [&](const SDL_Rect& r) {
        app.draw();
        app.handleClick(int16_t(r.x + r.w / 2), int16_t(r.y + r.h / 2));
    };
    const Buttons& b = app.buttons();
    const struct { std::function<void()> choice; std::string kept; } steps[] = {
        {[&] { click(b.music); }, file(2, 1, 0)},
        {[&] { app.handleKey(SDLK_F11, 0); }, file(2, 1, 1)},
        {[&] { click(b.tileset), click(b.tilesetChoices[4]); }, file(5, 1, 1)},
        {[&] { click(b.music), click(b.music); }, file(5, 1, 1)},
        {[&] { app.handleKey(SDLK_F11, 0); }, file(5, 1, 0)},
    };
    for (const auto& step : steps) {
        step.choice();
        EXPECT_EQ(dir.readFile("Data/klakoria.cfg"), step.kept);
    }
    EXPECT_EQ(std::make_tuple(app.tileset(), windowMode().scale, windowMode().fullscreen), std::make_tuple(4, 2, false));
}

// A bad command line ends the program before anything starts; --help ends it well.
TEST(StartupFailure, ABadCommandLineShowsTheUsageAndEndsWithStatusTwo)
{
    TempDataDir dir;
    const std::string usage = "Aufruf: klakoria [--scale N] [--fullscreen] [--help]  "
                              "(N: ganze Vergr\xF6\xDF" "erung 1 bis 8; F11: Vollbild an/aus)\n";
    const struct { std::vector<std::string> options; int status; bool toError; } cases[] = {
        {{"--scale", "0"}, 2, true}, {{"--scale", "x"}, 2, true}, {{"--farbe"}, 2, true}, {{"--help"}, 0, false}};
    for (const auto& c : cases) {
        std::vector<std::string> command = {gameBinary()};
        command.insert(command.end(), c.options.begin(), c.options.end());
        const ProcessResult result = runProcess(command, dir.path());
        EXPECT_EQ(std::make_tuple(result.status, result.out, result.err),
                  std::make_tuple(c.status, c.toError ? "" : usage, c.toError ? usage : ""));
    }
}

// The message ends standard error, perhaps after the music's, which has no line break; no icon is silent.
// A FIFO in place of an asset is a missing one: opening it would wait for a writer for ever.
TEST(StartupFailure, MissingAssetsAMisshapenTilesetOrNoVideoEndTheProgramWithTheirMessage)
{
    const std::string noFont = "Konnte Font-File nicht laden!: [^\n]+\n", noMusic = "Keine Audio-Datei ge\xF6" "ffnet!";
    const std::string noTiles = "Konnte Data/tileset\\.bmp nicht laden\\.\n";
    const std::vector<std::string> noTileset = {"boulder.ttf", "Musik.wav", "icon.bmp"};
    // A black tileset of width x height when given: one row too short, one column too wide.
    const struct { std::vector<std::string> assets; std::string fifo; int width, height; std::string error, driver = "dummy"; }
        cases[] = {
        {{"tileset.bmp"}, "", 0, 0, noMusic + noFont},
        {noTileset, "", 0, 0, noTiles}, {noTileset, "", 64, 671, noTiles}, {noTileset, "", 65, 672, noTiles},
        {{"boulder.ttf", "tileset.bmp"}, "", 0, 0, "SDL konnte nicht initialisiert werden: [^\n]+\n", "no-such-driver"},
        {noTileset, "tileset.bmp", 0, 0, noTiles}, {{"tileset.bmp", "Musik.wav", "icon.bmp"}, "boulder.ttf", 0, 0, noFont},
        {{"tileset.bmp", "icon.bmp"}, "Musik.wav", 0, 0, noMusic + noFont},
        {{"boulder.ttf", "Musik.wav"}, "icon.bmp", 0, 0, noTiles},  // the icon comes first
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fifo);
        TempDataDir dir{c.assets};
        if (c.width > 0)
            writeBmp(dir.data() / "tileset.bmp", c.width, c.height, [](int, int) { return SDL_Color{}; });
        if (!c.fifo.empty()) {
            ASSERT_EQ(mkfifo((dir.data() / c.fifo).c_str(), 0666), 0);
        }
        // exit() on purpose: what is still allocated then is not lost
        const auto result = runProcess({gameBinary()}, dir.path(),
                                       {{"ASAN_OPTIONS", "detect_leaks=0"}, {"SDL_VIDEODRIVER", c.driver}}, 120);
        EXPECT_EQ(result.status, 1) << c.error;
        EXPECT_THAT(result.err, testing::MatchesRegex(c.error));
    }    // SDL is up, but no window opens.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            SDL_Quit();
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            Application app(32);
        },
        testing::ExitedWithCode(1), "Konnte Bildschirmmodus nicht setzten: ");
}
