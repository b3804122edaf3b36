// The menus: every screen against its layout, the transitions by clicks on the rectangles that
// drawing fills in, and the in-game frame around a game.

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "TestSupport.h"
#include "app/Application.h"
#include "game/Game.h"
#include "gfx/Tileset.h"
#include "variants/ChaosGame.h"
#include "variants/FallDownGame.h"
#include "variants/SpeedGame.h"
#include "variants/StandardGame.h"

using namespace testing_support;

namespace {

const std::string back = "zur\xFC" "ck zum Men\xFC";
constexpr auto C = TextAlign::Center;
constexpr auto L = TextAlign::Left;

// text, x, y, alignment, size
using Label = std::tuple<std::string, int32_t, int32_t, TextAlign, int32_t>;

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
    void draw() override { drawText("Spielfeld", 0, 100, C, 18, nullptr); }
    void tick() override {}
    void leave() override { ++leaves; }

    bool* destroyed;
    int clicks = 0;
    int leaves = 0;
    bool endsOnClick = false;
};

class Menus : public testing::Test {
protected:
    Menus() { app.draw(); }

    // Clicks the middle of a rectangle that drawing filled in, then draws the next screen.
    void clickOn(const SDL_Rect& rect)
    {
        ASSERT_GT(rect.w, 0) << "the button was never drawn";
        app.handleClick(static_cast<int16_t>(rect.x + rect.w / 2), static_cast<int16_t>(rect.y + rect.h / 2));
        app.draw();
    }

    std::vector<Label> drawnTexts()
    {
        TextRecorder recorder;
        app.draw();
        std::vector<Label> texts;
        for (const auto& t : recorder.texts)
            texts.emplace_back(t.text, t.x, t.y, t.align, t.size);
        return texts;
    }

    int pendingRedraws()
    {
        SDL_Event events[16];
        return SDL_PeepEvents(events, 16, SDL_GETEVENT, SDL_EVENTMASK(SDL_USEREVENT));
    }

    TempDataDir dir;
    FakeClock clock;
    DummyScreen screen;
    Application app{32};
};

}  // namespace

TEST_F(Menus, EveryMenuScreenDrawsExactlyItsLayout)
{
    const Label backButton{back, 0, 576, C, 18};
    const std::vector<std::pair<ScreenState, std::vector<Label>>> layouts = {
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
         {{"Welches TileSet verwenden?", 0, 10, C, 50}, {"TileSet 1", 59, 180, L, 16}, {"TileSet 2", 209, 180, L, 16},
          {"TileSet 3", 359, 180, L, 16}, {"TileSet 4", 509, 180, L, 16}, {"TileSet 5", 659, 180, L, 16}, backButton}},
        {ChooseHighscores,
         {{"Welche Highscore anzeigen?", 0, 10, C, 50}, {"Standart Click", 0, 110, C, 35},
          {"Chaos Click", 0, 160, C, 35}, {"Speed Click", 0, 210, C, 35}, {"FallDown Click", 0, 260, C, 35},
          backButton}},
        {ConfirmEnd,
         {{"Wirklich beenden", 0, 150, C, 45}, {"Ja", 325, 200, TextAlign::Right, 30}, {"Nein", 475, 200, L, 30}}},
    };
    for (const auto& [screen, expected] : layouts) {
        app.screen = screen;
        EXPECT_EQ(drawnTexts(), expected) << "screen " << screen;
    }
    // The two lines of the info screen are free text; their places are not.
    app.screen = Info;
    const auto info = drawnTexts();
    ASSERT_EQ(info.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        const auto& [text, x, y, align, size] = info[i];
        EXPECT_NE(text, "");
        EXPECT_EQ(std::tie(x, y, align, size), std::make_tuple(0, 100 + 50 * i, C, 30));
    }
    EXPECT_EQ(info[2], backButton);
}

TEST_F(Menus, ButtonsAreTheDrawnTextsAndSpielenIsCentredOnTheWindow)
{
    const SDL_Rect spielen = app.playButton;
    ASSERT_GT(spielen.w, 20);
    EXPECT_EQ(spielen.y, 130);
    EXPECT_NEAR(spielen.x + spielen.w / 2.0, 400.0, 1.0);
    EXPECT_EQ(screen.countRed({static_cast<Sint16>(spielen.x - 20), spielen.y, 18, spielen.h}), 0);
    EXPECT_EQ(screen.countRed({static_cast<Sint16>(spielen.x + spielen.w + 2), spielen.y, 18, spielen.h}), 0);
    for (const SDL_Rect button : {spielen, app.tilesetButton, app.highscoresButton, app.infoButton, app.quitButton,
                                  app.musicButton})
        EXPECT_GT(screen.countRed(button), 20);
    // The back and "(ende)" rectangles are reset by every frame, so the main menu has none.
    EXPECT_EQ(app.backButton.w, 0);
    EXPECT_EQ(app.endGameButton.w, 0);
}

TEST_F(Menus, EveryMenuButtonLeadsToItsScreenAndBackReturnsToTheMainMenu)
{
    const std::vector<std::pair<std::vector<SDL_Rect*>, ScreenState>> ways = {
        {{&app.playButton}, ChooseVariant},
        {{&app.playButton, &app.variantChoices[1]}, ChooseColours},
        {{&app.playButton, &app.variantChoices[2]}, ChooseDifficulty},
        {{&app.tilesetButton}, ChooseTileset},
        {{&app.highscoresButton}, ChooseHighscores},
        {{&app.highscoresButton, &app.highscoreChoices[2]}, HighscoreList},
        {{&app.infoButton}, Info},
    };
    for (const auto& [buttons, screen] : ways) {
        for (const SDL_Rect* button : buttons)
            clickOn(*button);
        EXPECT_EQ(app.screen, screen);
        clickOn(app.backButton);
        EXPECT_EQ(app.screen, MainMenu) << "back from screen " << screen;
    }
    // Speed's list, opened from the menu, was written when it was left.
    EXPECT_EQ(app.shownHighscores, nullptr);
    EXPECT_EQ(dir.readFile("Data/var3.hsc"), ":);100\n:);90\n:);80\n:);70\n:);60\n:);50\n:);40\n:);30\n:);20\n:);10\n");
}

TEST_F(Menus, AClickOnNothingRedrawsAndChangesNothing)
{
    for (ScreenState screen : {MainMenu, ChooseVariant, ChooseTileset, Info, ChooseHighscores}) {
        app.screen = screen;
        app.draw();
        pendingRedraws();
        app.handleClick(5, 590);  // the bottom-left corner holds no label on any of these
        EXPECT_EQ(app.screen, screen);
        EXPECT_EQ(app.game, nullptr);
        EXPECT_EQ(tileRects[0].y, 4 * TileSetBand);
        EXPECT_EQ(pendingRedraws(), 1);
    }
}

TEST_F(Menus, TheMusicLabelNamesWhatAClickWillDo)
{
    ASSERT_TRUE(app.music.isPlaying());
    clickOn(app.musicButton);
    EXPECT_FALSE(app.music.isPlaying());
    EXPECT_EQ(std::get<0>(drawnTexts().back()), "Hintergrundmusik an");
    clickOn(app.musicButton);
    EXPECT_TRUE(app.music.isPlaying());
    EXPECT_EQ(app.screen, MainMenu);
}

TEST_F(Menus, EachVariantStartsFromItsChoiceAndIsLeftThroughEndeAndJa)
{
    for (int variant = 0; variant < 4; ++variant) {
        clickOn(app.playButton);
        clickOn(app.variantChoices[variant]);
        EXPECT_EQ(app.variant, variant);
        // Chaos asks for a colour count first, Speed for a difficulty.
        if (variant == 1)
            clickOn(app.colourChoices[2]);
        if (variant == 2)
            clickOn(app.difficultyChoices[1]);
        ASSERT_EQ(app.screen, InGame);
        auto* speed = dynamic_cast<SpeedGame*>(app.game);
        const bool rightGame[] = {dynamic_cast<StandardGame*>(app.game) != nullptr,
                                  dynamic_cast<ChaosGame*>(app.game) && app.game->colourCount == 4,
                                  speed && speed->difficulty == 1, dynamic_cast<FallDownGame*>(app.game) != nullptr};
        EXPECT_TRUE(rightGame[variant]) << "variant " << variant;
        clickOn(app.endGameButton);
        ASSERT_EQ(app.screen, ConfirmEnd);
        clickOn(app.backButton);
        EXPECT_EQ(app.screen, MainMenu);
        EXPECT_EQ(app.game, nullptr);
    }
}

TEST_F(Menus, EndeAndAnImpossibleVariantEndTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const SDL_Rect ende = app.quitButton;
    EXPECT_EXIT(app.handleClick(static_cast<int16_t>(ende.x + 2), static_cast<int16_t>(ende.y + 5)),
                testing::ExitedWithCode(0), "");
    app.screen = ChooseDifficulty;
    app.draw();
    app.variant = 3;
    const SDL_Rect leicht = app.difficultyChoices[0];
    EXPECT_EXIT(app.handleClick(static_cast<int16_t>(leicht.x + 2), static_cast<int16_t>(leicht.y + 5)),
                testing::ExitedWithCode(6), "Ungueltige Spielnummer: 3\n");
}

class InGameFrame : public Menus {
protected:
    InGameFrame()
    {
        app.game = game;
        app.screen = InGame;
        app.draw();
    }
    bool destroyed = false;
    RecordingGame* game = new RecordingGame(&destroyed);
};

TEST_F(InGameFrame, TheFrameAddsEndeWhilePlayingAndTheBackButtonUnderTheList)
{
    const Label board{"Spielfeld", 0, 100, C, 18};
    const std::vector<std::pair<GameState, std::vector<Label>>> frames = {
        {Playing, {board, {"(ende)", 200, 576, L, 18}}}, {ShowHighscores, {board, {back, 0, 576, C, 18}}},
        {LevelResults, {board}}, {GameResults, {board}}, {NameEntry, {board}}, {Paused, {board}},
    };
    for (const auto& [state, expected] : frames) {
        game->state = state;
        EXPECT_EQ(drawnTexts(), expected) << "state " << state;
    }
    game->state = ShowHighscores;
    app.draw();
    clickOn(app.backButton);  // under the list: the game is deleted
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(app.screen, MainMenu);
}

TEST_F(InGameFrame, EveryClickReachesTheGameAndEndeAsksBeforeEnding)
{
    app.handleClick(400, 300);
    EXPECT_EQ(game->clicks, 1);
    clickOn(app.endGameButton);
    EXPECT_EQ(game->clicks, 2);  // "(ende)" reaches the game too
    EXPECT_EQ(game->leaves, 1);
    ASSERT_EQ(app.screen, ConfirmEnd);

    clickOn(app.endGameButton);  // "Nein": back to the same game, which is told nothing
    EXPECT_EQ(app.screen, InGame);
    EXPECT_EQ(app.game, game);
    EXPECT_EQ(game->clicks, 2);
    EXPECT_EQ(game->leaves, 1);

    clickOn(app.endGameButton);
    clickOn(app.backButton);  // "Ja"
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(app.game, nullptr);
    EXPECT_EQ(app.screen, MainMenu);
}

TEST_F(InGameFrame, EndeDoesNotTouchAGameThatTheSameClickHasEnded)
{
    const SDL_Rect ende = app.endGameButton;
    ASSERT_GT(ende.w, 0);
    game->endsOnClick = true;
    // The second click is queued behind the first: no redraw between them, the old rectangle.
    for (int click = 0; click < 2; ++click) {
        app.handleClick(static_cast<int16_t>(ende.x + 1), static_cast<int16_t>(ende.y + 1));
        EXPECT_EQ(game->leaves, 0);
        EXPECT_EQ(app.screen, InGame);
    }
}
