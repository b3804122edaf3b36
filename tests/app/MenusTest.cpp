// The menus: every screen against its layout, every transition by clicks on the rectangles
// that drawing fills in, and the in-game frame around a game.

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "TestSupport.h"
#include "app/Application.h"
#include "game/Game.h"
#include "gfx/Screen.h"
#include "gfx/Tileset.h"
#include "highscore/HighscoreTable.h"
#include "variants/ChaosGame.h"
#include "variants/FallDownGame.h"
#include "variants/SpeedGame.h"
#include "variants/StandardGame.h"

using testing_support::FakeClock;
using testing_support::TempDataDir;
using testing_support::TextRecorder;

namespace {

const std::string back = "zur\xFC" "ck zum Men\xFC";

struct Expected {
    std::string text;
    int32_t x;
    int32_t y;
    TextAlign align;
    int32_t size;
};

// A game that records what the Application asks of it.
struct RecordingGame : Game {
    explicit RecordingGame(bool* destroyed) : destroyed(destroyed) {}
    ~RecordingGame() override { *destroyed = true; }
    void click(int32_t, int32_t) override
    {
        ++clicks;
        if (endsOnClick)
            state = GameResults;
    }
    void draw() override { drawText("Spielfeld", 0, 100, TextAlign::Center, 18, nullptr); }
    void tick() override {}
    void leave() override { ++leaves; }

    bool* destroyed;
    int clicks = 0;
    int leaves = 0;
    bool endsOnClick = false;
};

class Menus : public testing::Test {
protected:
    Menus()
    {
        SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO);
        TTF_Init();
        app = new Application(32);
        SDL_Event ignored;
        while (SDL_PollEvent(&ignored)) {
        }
    }
    ~Menus() override
    {
        delete app;
        TTF_Quit();
        SDL_Quit();
    }

    // Draws the current screen, then clicks the middle of a rectangle that drawing filled in.
    void clickOn(const SDL_Rect& rect)
    {
        ASSERT_GT(rect.w, 0) << "the button was never drawn";
        app->handleClick(static_cast<int16_t>(rect.x + rect.w / 2), static_cast<int16_t>(rect.y + rect.h / 2));
        app->draw();
    }

    std::vector<Expected> drawnTexts()
    {
        TextRecorder recorder;
        app->draw();
        std::vector<Expected> texts;
        for (const auto& t : recorder.texts)
            texts.push_back({t.text, t.x, t.y, t.align, t.size});
        return texts;
    }

    int pendingRedraws()
    {
        SDL_Event events[16];
        return SDL_PeepEvents(events, 16, SDL_GETEVENT, SDL_EVENTMASK(SDL_USEREVENT));
    }

    SDL_Color pixel(int x, int y) const
    {
        SDL_Color c{0, 0, 0, 0};
        SDL_LockSurface(screenSurface);
        Uint32 value = reinterpret_cast<Uint32*>(static_cast<Uint8*>(screenSurface->pixels) + y * screenSurface->pitch)[x];
        SDL_UnlockSurface(screenSurface);
        SDL_GetRGB(value, screenSurface->format, &c.r, &c.g, &c.b);
        return c;
    }

    bool isRed(int x, int y) const
    {
        SDL_Color c = pixel(x, y);
        return c.r > 96 && c.g < 40 && c.b < 40;
    }

    int redPixelsIn(const SDL_Rect& rect) const
    {
        int count = 0;
        for (int y = rect.y; y < rect.y + rect.h; ++y)
            for (int x = rect.x; x < rect.x + rect.w; ++x)
                count += isRed(x, y);
        return count;
    }

    TempDataDir dir;
    FakeClock clock;
    Application* app = nullptr;
};

bool operator==(const Expected& a, const Expected& b)
{
    return std::tie(a.text, a.x, a.y, a.align, a.size) == std::tie(b.text, b.x, b.y, b.align, b.size);
}

void PrintTo(const Expected& e, std::ostream* os)
{
    *os << "\"" << e.text << "\" x " << e.x << " y " << e.y << " align " << static_cast<int>(e.align) << " size " << e.size;
}

constexpr auto C = TextAlign::Center;

}  // namespace

TEST_F(Menus, EveryMenuScreenDrawsExactlyItsLayout)
{
    const Expected backButton{back, 0, 576, C, 18};
    const std::vector<std::pair<ScreenState, std::vector<Expected>>> layouts = {
        {MainMenu,
         {{"K L A K O R I A", 0, 10, C, 72}, {"Spielen", 0, 130, C, 30}, {"TileSet", 0, 180, C, 30},
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
        {ChooseColours,
         {{"Mit wievel Farben spielen?", 0, 10, C, 50}, {"zwei Farben", 0, 100, C, 35}, {"drei Farben", 0, 150, C, 35},
          {"vier Farben", 0, 200, C, 35}, {"f\xFCnf Farben", 0, 250, C, 35}, backButton}},
        {ChooseDifficulty,
         {{"Welche Schwierigkeitsstufe?", 0, 10, C, 50}, {"Leicht", 0, 100, C, 35}, {"Mittel", 0, 150, C, 35},
          {"Schwer", 0, 200, C, 35}, backButton}},
        {ChooseTileset,
         {{"Welches TileSet verwenden?", 0, 10, C, 50}, {"TileSet 1", 59, 180, TextAlign::Left, 16},
          {"TileSet 2", 209, 180, TextAlign::Left, 16}, {"TileSet 3", 359, 180, TextAlign::Left, 16},
          {"TileSet 4", 509, 180, TextAlign::Left, 16}, {"TileSet 5", 659, 180, TextAlign::Left, 16}, backButton}},
        {ChooseHighscores,
         {{"Welche Highscore anzeigen?", 0, 10, C, 50}, {"Standart Click", 0, 110, C, 35}, {"Chaos Click", 0, 160, C, 35},
          {"Speed Click", 0, 210, C, 35}, {"FallDown Click", 0, 260, C, 35}, backButton}},
        {ConfirmEnd,
         {{"Wirklich beenden", 0, 150, C, 45}, {"Ja", 325, 200, TextAlign::Right, 30},
          {"Nein", 475, 200, TextAlign::Left, 30}}},
    };
    for (const auto& [screen, expected] : layouts) {
        SCOPED_TRACE(screen);
        app->screen = screen;
        EXPECT_EQ(drawnTexts(), expected);
    }

    app->screen = Info;
    auto info = drawnTexts();
    ASSERT_EQ(info.size(), 3u);
    EXPECT_EQ(info[0].y, 100);
    EXPECT_EQ(info[1].y, 150);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(info[i].size, 30);
        EXPECT_EQ(info[i].align, C);
        EXPECT_FALSE(info[i].text.empty());
    }
    EXPECT_EQ(info[2], backButton);
}

TEST_F(Menus, ButtonsAreTheDrawnTextsAndSpielenIsCentredOnTheWindow)
{
    app->draw();
    const SDL_Rect spielen = app->playButton;
    ASSERT_GT(spielen.w, 20);
    EXPECT_EQ(spielen.y, 130);
    EXPECT_NEAR(spielen.x + spielen.w / 2.0, 400.0, 1.0);
    EXPECT_GT(redPixelsIn(spielen), 50);
    // Nothing red just outside the box on either side.
    EXPECT_EQ(redPixelsIn(SDL_Rect{static_cast<Sint16>(spielen.x - 20), spielen.y, 18, spielen.h}), 0);
    EXPECT_EQ(redPixelsIn(SDL_Rect{static_cast<Sint16>(spielen.x + spielen.w + 2), spielen.y, 18, spielen.h}), 0);
    for (const SDL_Rect* button : {&app->tilesetButton, &app->highscoresButton, &app->infoButton, &app->quitButton,
                                   &app->musicButton})
        EXPECT_GT(redPixelsIn(*button), 20);
    // The back and "(ende)" rectangles are reset by every frame, so the main menu has none.
    EXPECT_EQ(app->backButton.w, 0);
    EXPECT_EQ(app->endGameButton.w, 0);
}

TEST_F(Menus, ScreensWithABackButtonReturnToTheMainMenu)
{
    const std::vector<std::pair<SDL_Rect Application::*, ScreenState>> ways = {
        {&Application::playButton, ChooseVariant},
        {&Application::tilesetButton, ChooseTileset},
        {&Application::highscoresButton, ChooseHighscores},
        {&Application::infoButton, Info},
    };
    for (const auto& [button, screen] : ways) {
        app->screen = MainMenu;
        app->draw();
        clickOn(app->*button);
        EXPECT_EQ(app->screen, screen);
        clickOn(app->backButton);
        EXPECT_EQ(app->screen, MainMenu);
    }
    // The two choice screens behind the variant list have it too.
    for (ScreenState screen : {ChooseColours, ChooseDifficulty}) {
        app->screen = screen;
        app->draw();
        clickOn(app->backButton);
        EXPECT_EQ(app->screen, MainMenu);
    }
}

TEST_F(Menus, AClickOnNothingRedrawsAndChangesNothing)
{
    for (ScreenState screen : {MainMenu, ChooseVariant, ChooseTileset, Info, ChooseHighscores}) {
        app->screen = screen;
        app->draw();
        pendingRedraws();
        const int selectedSet = tileRects[0].y;
        app->handleClick(5, 590);  // the bottom-left corner holds no label on any of these
        EXPECT_EQ(app->screen, screen);
        EXPECT_EQ(app->game, nullptr);
        EXPECT_EQ(tileRects[0].y, selectedSet);
        EXPECT_EQ(pendingRedraws(), 1);
    }
}

TEST_F(Menus, TheMusicLabelNamesWhatAClickWillDo)
{
    app->draw();
    ASSERT_TRUE(app->music.isPlaying());
    clickOn(app->musicButton);
    EXPECT_FALSE(app->music.isPlaying());
    TextRecorder recorder;
    app->draw();
    EXPECT_TRUE(recorder.contains("Hintergrundmusik an"));
    clickOn(app->musicButton);
    EXPECT_TRUE(app->music.isPlaying());
    EXPECT_EQ(app->screen, MainMenu);
}

TEST_F(Menus, ChoosingAPreviewSelectsThatSetAndLeavingWithoutChoosingKeepsIt)
{
    ASSERT_EQ(tileRects[0].y, 4 * TileSetBand);  // the fifth set at start
    app->draw();
    clickOn(app->tilesetButton);
    for (int n = 0; n < TileSetCount; ++n) {
        EXPECT_EQ(app->tilesetChoices[n].x, 94 + 150 * n - 64);
        EXPECT_EQ(app->tilesetChoices[n].y, 180);
        EXPECT_EQ(app->tilesetChoices[n].w, 128);
        EXPECT_EQ(app->tilesetChoices[n].h, 148);
        // The 4 x 4 block of tiles below the label is drawn, and nothing left of it.
        int lit = 0, litLeft = 0;
        for (int y = 200; y < 328; ++y)
            for (int x = 0; x < 128; ++x) {
                SDL_Color c = pixel(94 + 150 * n - 64 + x, y);
                lit += (c.r | c.g | c.b) != 0;
            }
        for (int y = 200; y < 328; ++y) {
            SDL_Color c = pixel(94 + 150 * n - 70, y);
            litLeft += (c.r | c.g | c.b) != 0;
        }
        EXPECT_GT(lit, 128 * 128 / 4) << "preview " << n;
        EXPECT_EQ(litLeft, 0) << "preview " << n;
    }
    clickOn(app->tilesetChoices[1]);
    EXPECT_EQ(app->screen, MainMenu);
    for (int k = 0; k < TileColourCount; ++k)
        EXPECT_EQ(tileRects[k].y, TileSetBand);

    clickOn(app->tilesetButton);  // the previews walk through all five sets ...
    clickOn(app->backButton);     // ... yet leaving without a choice keeps the second
    EXPECT_EQ(app->screen, MainMenu);
    for (int k = 0; k < TileColourCount; ++k)
        EXPECT_EQ(tileRects[k].y, TileSetBand);
}

TEST_F(Menus, AHighscoreListOpensFromTheMenuAndGoingBackWritesIt)
{
    app->draw();
    clickOn(app->highscoresButton);
    clickOn(app->highscoreChoices[2]);
    ASSERT_EQ(app->screen, HighscoreList);
    ASSERT_NE(app->shownHighscores, nullptr);
    EXPECT_EQ(app->shownHighscores->title, "Speed Click");
    EXPECT_EQ(app->shownHighscores->fileName, "Data/var3.hsc");
    EXPECT_FALSE(dir.exists("Data/var3.hsc"));
    TextRecorder recorder;
    app->draw();
    EXPECT_TRUE(recorder.contains("Highscore von Speed Click"));
    EXPECT_TRUE(recorder.contains(back));
    clickOn(app->backButton);
    EXPECT_EQ(app->screen, MainMenu);
    EXPECT_EQ(app->shownHighscores, nullptr);
    EXPECT_EQ(dir.readFile("Data/var3.hsc"), ":);100\n:);90\n:);80\n:);70\n:);60\n:);50\n:);40\n:);30\n:);20\n:);10\n");
}

TEST_F(Menus, EachChoiceStartsItsVariant)
{
    struct Way {
        SDL_Rect Application::*first;
        int variantIndex;
        ScreenState between;
        int choice;
    };
    // Standard and FallDown start at once, Chaos after a colour count, Speed after a difficulty.
    const std::vector<Way> ways = {{nullptr, 0, InGame, -1}, {nullptr, 1, ChooseColours, 2},
                                   {nullptr, 2, ChooseDifficulty, 1}, {nullptr, 3, InGame, -1}};
    for (const Way& way : ways) {
        SCOPED_TRACE(way.variantIndex);
        app->screen = MainMenu;
        app->draw();
        clickOn(app->playButton);
        clickOn(app->variantChoices[way.variantIndex]);
        EXPECT_EQ(app->variant, way.variantIndex);
        if (way.between == ChooseColours) {
            EXPECT_EQ(app->screen, ChooseColours);
            clickOn(app->colourChoices[way.choice]);
        } else if (way.between == ChooseDifficulty) {
            EXPECT_EQ(app->screen, ChooseDifficulty);
            clickOn(app->difficultyChoices[way.choice]);
        }
        ASSERT_EQ(app->screen, InGame);
        ASSERT_NE(app->game, nullptr);
        switch (way.variantIndex) {
        case 0: EXPECT_NE(dynamic_cast<StandardGame*>(app->game), nullptr); break;
        case 1:
            ASSERT_NE(dynamic_cast<ChaosGame*>(app->game), nullptr);
            EXPECT_EQ(app->game->colourCount, 4);
            break;
        case 2:
            ASSERT_NE(dynamic_cast<SpeedGame*>(app->game), nullptr);
            EXPECT_EQ(dynamic_cast<SpeedGame*>(app->game)->difficulty, 1);
            break;
        case 3: EXPECT_NE(dynamic_cast<FallDownGame*>(app->game), nullptr); break;
        }
        // Leave it through "(ende)" and "Ja".
        clickOn(app->endGameButton);
        ASSERT_EQ(app->screen, ConfirmEnd);
        clickOn(app->backButton);
        EXPECT_EQ(app->screen, MainMenu);
        EXPECT_EQ(app->game, nullptr);
    }
}

TEST_F(Menus, EndeAndAnImpossibleVariantEndTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    app->draw();
    const SDL_Rect ende = app->quitButton;
    EXPECT_EXIT(app->handleClick(static_cast<int16_t>(ende.x + 2), static_cast<int16_t>(ende.y + 5)),
                testing::ExitedWithCode(0), "");

    app->screen = ChooseDifficulty;
    app->draw();
    app->variant = 3;
    const SDL_Rect leicht = app->difficultyChoices[0];
    EXPECT_EXIT(app->handleClick(static_cast<int16_t>(leicht.x + 2), static_cast<int16_t>(leicht.y + 5)),
                testing::ExitedWithCode(6), "Ungueltige Spielnummer: 3\n");
}

class InGameFrame : public Menus {
protected:
    InGameFrame()
    {
        game = new RecordingGame(&destroyed);
        app->game = game;
        app->screen = InGame;
    }
    bool destroyed = false;
    RecordingGame* game;
};

TEST_F(InGameFrame, TheFrameAddsEndeWhilePlayingAndTheBackButtonUnderTheList)
{
    const std::vector<std::pair<GameState, std::vector<Expected>>> frames = {
        {Playing, {{"Spielfeld", 0, 100, C, 18}, {"(ende)", 200, 576, TextAlign::Left, 18}}},
        {ShowHighscores, {{"Spielfeld", 0, 100, C, 18}, {back, 0, 576, C, 18}}},
        {LevelResults, {{"Spielfeld", 0, 100, C, 18}}},
        {GameResults, {{"Spielfeld", 0, 100, C, 18}}},
        {NameEntry, {{"Spielfeld", 0, 100, C, 18}}},
        {Paused, {{"Spielfeld", 0, 100, C, 18}}},
    };
    for (const auto& [state, expected] : frames) {
        SCOPED_TRACE(state);
        game->state = state;
        EXPECT_EQ(drawnTexts(), expected);
    }
}

TEST_F(InGameFrame, EveryClickReachesTheGameAndEndeAsksBeforeEnding)
{
    app->draw();
    app->handleClick(400, 300);
    EXPECT_EQ(game->clicks, 1);

    clickOn(app->endGameButton);
    EXPECT_EQ(game->clicks, 2);  // "(ende)" reaches the game too
    EXPECT_EQ(game->leaves, 1);
    ASSERT_EQ(app->screen, ConfirmEnd);

    clickOn(app->endGameButton);  // "Nein": back to the same game, which is told nothing
    EXPECT_EQ(app->screen, InGame);
    EXPECT_EQ(app->game, game);
    EXPECT_EQ(game->clicks, 2);
    EXPECT_EQ(game->leaves, 1);

    clickOn(app->endGameButton);
    clickOn(app->backButton);  // "Ja"
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(app->game, nullptr);
    EXPECT_EQ(app->screen, MainMenu);
}

TEST_F(InGameFrame, TheBackButtonUnderTheListDeletesTheGame)
{
    game->state = ShowHighscores;
    app->draw();
    clickOn(app->backButton);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(app->screen, MainMenu);
}

TEST_F(InGameFrame, EndeDoesNotTouchAGameThatTheSameClickHasEnded)
{
    app->draw();
    const SDL_Rect ende = app->endGameButton;
    ASSERT_GT(ende.w, 0);
    game->endsOnClick = true;
    app->handleClick(static_cast<int16_t>(ende.x + 1), static_cast<int16_t>(ende.y + 1));
    EXPECT_EQ(game->leaves, 0);
    EXPECT_EQ(app->screen, InGame);
    // A second click queued behind it, before any redraw, still finds the old "(ende)" rectangle.
    app->handleClick(static_cast<int16_t>(ende.x + 1), static_cast<int16_t>(ende.y + 1));
    EXPECT_EQ(game->leaves, 0);
    EXPECT_EQ(app->screen, InGame);
}
