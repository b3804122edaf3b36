// The menus: every screen against its layout, the transitions by clicks on the rectangles that
// drawing fills in, and the in-game frame around a game.

#include <tuple>

#include "AppFixture.h"
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

using Label = std::tuple<std::string, int32_t, int32_t, TextAlign, int32_t>;  // text, x, y, alignment, size

// "Standart", "Chaos 4", ... : the game the Application holds, with what its menus chose.
std::string describe(const Game* g)
{
    if (auto* chaos = dynamic_cast<const ChaosGame*>(g))
        return "Chaos " + std::to_string(chaos->colourCount);
    if (auto* speed = dynamic_cast<const SpeedGame*>(g))
        return "Speed " + std::to_string(speed->difficulty);
    return dynamic_cast<const StandardGame*>(g) ? "Standart" : dynamic_cast<const FallDownGame*>(g) ? "FallDown" : "";
}

class Menus : public AppTest {
protected:
    void click(const SDL_Rect& rect)
    {
        app.handleClick(static_cast<int16_t>(rect.x + rect.w / 2), static_cast<int16_t>(rect.y + rect.h / 2));
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
};

}  // namespace

TEST_F(Menus, EveryMenuScreenDrawsExactlyItsLayoutAndTheMusicLabelNamesWhatAClickWillDo)
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
        const std::string& text = std::get<0>(info[i]);
        EXPECT_EQ(info[i], Label(text.empty() ? "(some text)" : text, 0, 100 + 50 * i, C, 30));
    }
    EXPECT_EQ(info[2], backButton);

    app.screen = MainMenu;
    ASSERT_TRUE(app.music.isPlaying());
    for (const char* label : {"Hintergrundmusik an", "Hintergrundmusik aus"}) {
        click(app.musicButton);
        EXPECT_EQ(std::get<0>(drawnTexts().back()), label);
    }
    EXPECT_TRUE(app.music.isPlaying());
}

TEST_F(Menus, ButtonsAreTheDrawnTextsWithSpielenCentredOnTheWindow)
{
    const SDL_Rect spielen = app.playButton;
    EXPECT_EQ(spielen.y, 130);
    EXPECT_NEAR(spielen.x + spielen.w / 2.0, 400.0, 1.0);
    EXPECT_EQ(screen.countRed({static_cast<Sint16>(spielen.x - 20), spielen.y, 18, spielen.h}), 0);
    EXPECT_EQ(screen.countRed({static_cast<Sint16>(spielen.x + spielen.w + 2), spielen.y, 18, spielen.h}), 0);
    for (const SDL_Rect button : {spielen, app.tilesetButton, app.highscoresButton, app.infoButton, app.quitButton,
                                  app.musicButton})
        EXPECT_GT(screen.countRed(button), 20);
    // Every frame resets the back and "(ende)" rectangles, so the main menu has none to hit.
    EXPECT_EQ(app.backButton.w + app.endGameButton.w, 0);
}

// Each click asks for one frame; a click on nothing (the bottom-left corner) changes nothing else.
TEST_F(Menus, EveryButtonLeadsToItsScreenAndEachVariantStartsFromItsChoicesAndIsLeftThroughEndeAndJa)
{
    const SDL_Rect nothing{0, 580, 10, 10};
    const struct {
        const SDL_Rect* button;
        ScreenState screen;
        std::string game = "";
    } steps[] = {
        {&nothing, MainMenu}, {&app.playButton, ChooseVariant}, {&nothing, ChooseVariant}, {&app.backButton, MainMenu},
        {&app.tilesetButton, ChooseTileset}, {&nothing, ChooseTileset}, {&app.backButton, MainMenu},
        {&app.highscoresButton, ChooseHighscores}, {&nothing, ChooseHighscores},
        {&app.highscoreChoices[2], HighscoreList}, {&app.backButton, MainMenu},
        {&app.infoButton, Info}, {&nothing, Info}, {&app.backButton, MainMenu},
        {&app.playButton, ChooseVariant}, {&app.variantChoices[0], InGame, "Standart"},
        {&app.endGameButton, ConfirmEnd, "Standart"}, {&app.backButton, MainMenu},
        {&app.playButton, ChooseVariant}, {&app.variantChoices[1], ChooseColours}, {&app.backButton, MainMenu},
        {&app.playButton, ChooseVariant}, {&app.variantChoices[1], ChooseColours},
        {&app.colourChoices[2], InGame, "Chaos 4"}, {&app.endGameButton, ConfirmEnd, "Chaos 4"},
        {&app.backButton, MainMenu},
        {&app.playButton, ChooseVariant}, {&app.variantChoices[2], ChooseDifficulty}, {&app.backButton, MainMenu},
        {&app.playButton, ChooseVariant}, {&app.variantChoices[2], ChooseDifficulty},
        {&app.difficultyChoices[1], InGame, "Speed 1"}, {&app.endGameButton, ConfirmEnd, "Speed 1"},
        {&app.backButton, MainMenu},
        {&app.playButton, ChooseVariant}, {&app.variantChoices[3], InGame, "FallDown"},
        {&app.endGameButton, ConfirmEnd, "FallDown"}, {&app.backButton, MainMenu},
    };
    EXPECT_EQ(takeRedrawRequests(), 1) << "the first frame, asked for at start";
    for (const auto& step : steps) {
        ASSERT_GT(step.button->w, 0) << "the button to screen " << step.screen << " was never drawn";
        click(*step.button);
        EXPECT_EQ(takeRedrawRequests(), 1);
        EXPECT_EQ(app.screen, step.screen);
        EXPECT_EQ(describe(app.game), step.game) << "on screen " << step.screen;
        EXPECT_EQ(tileRects[0].y, 4 * TileSetBand) << "the fifth set, chosen at start";
        app.draw();
    }
}

TEST_F(Menus, EndeAndAnImpossibleVariantEndTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(click(app.quitButton), testing::ExitedWithCode(0), "");
    app.screen = ChooseDifficulty;
    app.draw();
    app.variant = 3;
    EXPECT_EXIT(click(app.difficultyChoices[0]), testing::ExitedWithCode(6), "Ungueltige Spielnummer: 3\n");
}

TEST_F(Menus, TheGameFrameAddsEndeWhilePlayingAndTheBackButtonUnderTheList)
{
    FakeGame& game = startGame(Playing);
    const Label board{"Spielfeld", 0, 100, C, 18};
    const std::vector<std::pair<GameState, std::vector<Label>>> frames = {
        {Playing, {board, {"(ende)", 200, 576, L, 18}}}, {ShowHighscores, {board, {back, 0, 576, C, 18}}},
        {LevelResults, {board}}, {GameResults, {board}}, {NameEntry, {board}}, {Paused, {board}},
    };
    for (const auto& [state, expected] : frames) {
        game.state = state;
        EXPECT_EQ(drawnTexts(), expected) << "state " << state;
    }
}

// "(ende)" reaches the game as a click too and pauses it through leave(); "Nein" returns to it
// untold, "Ja" deletes it. A click that ends the game, and one queued behind it with no frame
// between them, find "(ende)" gone.
TEST_F(Menus, EndeAsksBeforeEndingAGameThatIsStillPlaying)
{
    FakeGame* game = &startGame(Playing);
    app.draw();
    const std::tuple<size_t, int, ScreenState> afterEachClick[] = {
        {1, 1, ConfirmEnd}, {1, 1, InGame}, {2, 2, ConfirmEnd}};
    for (const auto& expected : afterEachClick) {
        click(app.endGameButton);  // "(ende)", "Nein", "(ende)"
        app.draw();
        EXPECT_EQ(std::make_tuple(game->clicks.size(), game->leaves, app.screen), expected);
    }
    click(app.backButton);
    EXPECT_EQ(std::tie(destroyed, app.game, app.screen), std::make_tuple(true, nullptr, MainMenu));

    game = &startGame(Playing);
    app.draw();
    const SDL_Rect ende = app.endGameButton;
    game->endsOnClick = true;
    for (size_t clicks = 1; clicks <= 2; ++clicks) {
        click(ende);
        EXPECT_EQ(std::make_tuple(game->clicks.size(), game->leaves, app.screen), std::make_tuple(clicks, 0, InGame));
    }
}

TEST(ApplicationLifetime, EndingDeletesTheRunningGameAndFreesTheTileSheet)
{
    TempDataDir dir;
    FakeClock clock;
    DummyScreen screen;
    bool destroyed = false;
    {
        Application app{32};
        app.game = new FakeGame(clock, destroyed);  // the program ends during a game
    }
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(std::tie(tileSheet, tileRects), std::make_tuple(nullptr, nullptr));
}
