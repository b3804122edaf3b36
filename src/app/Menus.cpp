// The Application's screens: what a left click does on each, and what each one shows.

#include <cstdlib>
#include <iterator>

#include "app/Application.h"
#include "app/Redraw.h"
#include "game/BoardDrawing.h"
#include "gfx/Screen.h"
#include "gfx/Text.h"
#include "gfx/Tileset.h"
#include "highscore/HighscoreScreens.h"
#include "highscore/HighscoreTable.h"
#include "variants/ChaosGame.h"
#include "variants/FallDownGame.h"
#include "variants/SpeedGame.h"
#include "variants/StandardGame.h"

namespace {

// Each screen's draw function fills the rectangles of its labels in the Buttons it is given: the
// Application's own, which its clicks are tested against.
struct Label {
    std::string text;
    int32_t size;
    int32_t x;
    int32_t y;
    TextAlign align;
    SDL_Rect* button;  // receives the label's box; nullptr: not clickable
};

void drawLabels(std::initializer_list<Label> labels)
{
    for (const Label& label : labels)
        drawText(label.text, label.x, label.y, label.align, label.size, label.button);
}

const std::string backLabel = "zur\xFC" "ck zum Men\xFC";

void drawBackButton(Buttons& b)
{
    drawLabels({{backLabel, 18, 0, 576, TextAlign::Center, &b.back}});
}

void drawMainMenu(Buttons& b, bool musicPlaying)
{
    drawLabels({
        {"K L A K O R I A", 72, 0, 10, TextAlign::Center, nullptr},
        {"Spielen", 30, 0, 130, TextAlign::Center, &b.play},
        {"TileSet", 30, 0, 180, TextAlign::Center, &b.tileset},
        {"Highscores", 30, 0, 230, TextAlign::Center, &b.highscores},
        {"Info", 30, 0, 280, TextAlign::Center, &b.info},
        {"Ende", 30, 0, 330, TextAlign::Center, &b.quit},
    });
    // The label names what a click does, so it reads "off" while the music plays.
    drawText(musicPlaying ? "Hintergrundmusik aus" : "Hintergrundmusik an", 0, 576, TextAlign::Center, 18, &b.music);
}

void drawVariantChoice(Buttons& b)
{
    drawLabels({
        {"Welche Spielvariante spielen?", 50, 0, 10, TextAlign::Center, nullptr},
        {variantNames[0], 35, 0, 100, TextAlign::Center, &b.variantChoices[0]},
        {"Standartvariante mit 6 Level.", 16, 0, 140, TextAlign::Center, nullptr},
        {"Mit jedem Level werden es mehr Farben.", 16, 0, 162, TextAlign::Center, nullptr},
        {variantNames[1], 35, 0, 200, TextAlign::Center, &b.variantChoices[1]},
        {"Bei jedem Click in das Feld,", 16, 0, 240, TextAlign::Center, nullptr},
        {"wird das Feld woanders zentriert.", 16, 0, 262, TextAlign::Center, nullptr},
        {variantNames[2], 35, 0, 300, TextAlign::Center, &b.variantChoices[2]},
        {"Mit jeder Sekunde werden Punkte abgezogen.", 16, 0, 340, TextAlign::Center, nullptr},
        {"Bei weniger als 0 Punkten ist das Spiel zuende!", 16, 0, 362, TextAlign::Center, nullptr},
        {variantNames[3], 35, 0, 400, TextAlign::Center, &b.variantChoices[3]},
        {"Die Oberste Reihe wird st\xE4ndig gef\xFCllt.", 16, 0, 440, TextAlign::Center, nullptr},
        {"Wenn sie nicht gef\xFCllt werden kann, hat man Verloren!", 16, 0, 462, TextAlign::Center, nullptr},
    });
    drawBackButton(b);
}

void drawColourChoice(Buttons& b)
{
    drawLabels({
        {"Mit wievel Farben spielen?", 50, 0, 10, TextAlign::Center, nullptr},
        {"zwei Farben", 35, 0, 100, TextAlign::Center, &b.colourChoices[0]},
        {"drei Farben", 35, 0, 150, TextAlign::Center, &b.colourChoices[1]},
        {"vier Farben", 35, 0, 200, TextAlign::Center, &b.colourChoices[2]},
        {"f\xFCnf Farben", 35, 0, 250, TextAlign::Center, &b.colourChoices[3]},
    });
    drawBackButton(b);
}

void drawDifficultyChoice(Buttons& b)
{
    drawLabels({
        {"Welche Schwierigkeitsstufe?", 50, 0, 10, TextAlign::Center, nullptr},
        {"Leicht", 35, 0, 100, TextAlign::Center, &b.difficultyChoices[0]},
        {"Mittel", 35, 0, 150, TextAlign::Center, &b.difficultyChoices[1]},
        {"Schwer", 35, 0, 200, TextAlign::Center, &b.difficultyChoices[2]},
    });
    drawBackButton(b);
}

// Preview n: a 4 x 4 block whose rows show tiles r, 2r, 2r, r, under the label "TileSet n+1".
void drawTilesetPreview(Buttons& b, int n)
{
    const int centre = 94 + 150 * n;
    selectTileset(n);
    drawText("TileSet " + intToString(n + 1), centre - 35, 180, TextAlign::Left, 16, nullptr);
    for (int r = 0; r < 4; ++r) {
        const int tiles[4] = {r, 2 * r, 2 * r, r};
        for (int i = 0; i < 4; ++i) {
            SDL_Rect target{static_cast<Sint16>(centre - 64 + 32 * i), static_cast<Sint16>(200 + 32 * r), 0, 0};
            SDL_BlitSurface(tileSheet, &tileRects[tiles[i]], screenSurface, &target);
        }
    }
    b.tilesetChoices[n] = SDL_Rect{static_cast<Sint16>(centre - 64), 180, 128, 148};
}

void drawTilesetChoice(Buttons& b, int playersTileset)
{
    drawText("Welches TileSet verwenden?", 0, 10, TextAlign::Center, 50, nullptr);
    // Drawing the previews walks tileRects through every set; the player's own set comes back
    // afterwards, so leaving this screen without choosing keeps it.
    for (int n = 0; n < TileSetCount; ++n)
        drawTilesetPreview(b, n);
    selectTileset(playersTileset);
    drawBackButton(b);
}

void drawInfo(Buttons& b)
{
    drawLabels({
        {"Klakoria: Gruppen anklicken, Feld leeren.", 30, 0, 100, TextAlign::Center, nullptr},
        {"Ein Spiel des Klakoria-Teams.", 30, 0, 150, TextAlign::Center, nullptr},
    });
    drawBackButton(b);
}

void drawHighscoreChoice(Buttons& b)
{
    drawLabels({
        {"Welche Highscore anzeigen?", 50, 0, 10, TextAlign::Center, nullptr},
        {variantNames[0], 35, 0, 110, TextAlign::Center, &b.highscoreChoices[0]},
        {variantNames[1], 35, 0, 160, TextAlign::Center, &b.highscoreChoices[1]},
        {variantNames[2], 35, 0, 210, TextAlign::Center, &b.highscoreChoices[2]},
        {variantNames[3], 35, 0, 260, TextAlign::Center, &b.highscoreChoices[3]},
    });
    drawBackButton(b);
}

void drawGameScreen(Buttons& b, Game& game)
{
    game.draw();
    if (game.state() == Playing)
        drawText("(ende)", 200, 576, TextAlign::Left, 18, &b.endGame);
    else if (game.state() == ShowHighscores)
        drawBackButton(b);
}

void drawHighscoreList(Buttons& b, const HighscoreTable& list)
{
    drawHighscoreScreen(list);
    drawBackButton(b);
}

void drawConfirmEnd(Buttons& b)
{
    drawLabels({
        {"Wirklich beenden", 45, 0, 150, TextAlign::Center, nullptr},
        {"Ja", 30, 325, 200, TextAlign::Right, &b.back},
        {"Nein", 30, 475, 200, TextAlign::Left, &b.endGame},
    });
}

// The marker: a small arrow pointing at the label from its left, in the red of the texts.
void drawMarker(const SDL_Rect& label)
{
    const Uint32 red = SDL_MapRGB(screenSurface->format, 255, 0, 0);
    const int middle = label.y + label.h / 2;
    const int tip = label.x - 4;
    for (int i = 0; i < 8; ++i) {
        SDL_Rect column{static_cast<Sint16>(tip - i), static_cast<Sint16>(middle - i), 1, static_cast<Uint16>(2 * i + 1)};
        SDL_FillRect(screenSurface, &column, red);
    }
}

// The first choice whose rectangle holds the point, or -1.
template <size_t N>
int choiceAt(int16_t x, int16_t y, const SDL_Rect (&choices)[N])
{
    for (size_t i = 0; i < N; ++i)
        if (pointInRect(x, y, choices[i]))
            return static_cast<int>(i);
    return -1;
}

}  // namespace

void Application::handleClick(int16_t x, int16_t y)
{
    keyboardInUse = false;
    if (shown == InGame) {
        if (const CellAtPixel at = cellAtPixel(x, y); at.onBoard)
            cursor = at.cell;
    }
    press(x, y);
}

void Application::press(int16_t x, int16_t y)
{
    const Buttons& b = drawn;
    switch (shown) {
    case MainMenu:
        if (pointInRect(x, y, b.play)) {
            shown = ChooseVariant;
        } else if (pointInRect(x, y, b.tileset)) {
            shown = ChooseTileset;
        } else if (pointInRect(x, y, b.highscores)) {
            shown = ChooseHighscores;
        } else if (pointInRect(x, y, b.info)) {
            shown = Info;
        } else if (pointInRect(x, y, b.quit)) {
            std::exit(0);
        } else if (pointInRect(x, y, b.music)) {
            // The label names the player's wish, which is kept even when no music could be played.
            Settings changed = kept;
            changed.music = !music.isPlaying();
            if (changed.music)
                music.play();
            else
                music.stop();
            remember(changed);
        }
        break;
    case ChooseVariant:
        if (pointInRect(x, y, b.variantChoices[0])) {
            chosenVariant = 0;
            startGame(std::make_unique<StandardGame>(highscoresOf(0)));
        } else if (pointInRect(x, y, b.variantChoices[1])) {
            chosenVariant = 1;
            shown = ChooseColours;
        } else if (pointInRect(x, y, b.variantChoices[2])) {
            chosenVariant = 2;
            shown = ChooseDifficulty;
        } else if (pointInRect(x, y, b.variantChoices[3])) {
            chosenVariant = 3;
            startGame(std::make_unique<FallDownGame>(highscoresOf(3)));
        }
        break;
    case ChooseColours:
        if (int i = choiceAt(x, y, b.colourChoices); i >= 0)
            startGame(std::make_unique<ChaosGame>(highscoresOf(1), static_cast<int16_t>(i + 2)));
        break;
    case ChooseDifficulty:
        if (int i = choiceAt(x, y, b.difficultyChoices); i >= 0) {
            exitUnlessSpeed(chosenVariant);
            startGame(std::make_unique<SpeedGame>(highscoresOf(2), static_cast<int16_t>(i)));
        }
        break;
    case InGame:
        running->click(x, y);
        // "(ende)" belongs to a game that is still playing: a click that has just ended the game,
        // or one queued behind it, must not pause a finished game.
        if (running->state() == Playing && pointInRect(x, y, b.endGame)) {
            running->leave();
            shown = ConfirmEnd;
        }
        break;
    case ChooseTileset:
        if (int i = choiceAt(x, y, b.tilesetChoices); i >= 0) {
            chosenTileset = i;
            selectTileset(i);
            Settings changed = kept;
            changed.tileset = i;
            remember(changed);
            shown = MainMenu;
        }
        break;
    case ChooseHighscores:
        if (int i = choiceAt(x, y, b.highscoreChoices); i >= 0) {
            openList = highscoresOf(i);
            shown = HighscoreList;
        }
        break;
    case ConfirmEnd:
        if (pointInRect(x, y, b.endGame))  // "Nein"
            shown = InGame;
        break;
    case Info:
    case HighscoreList:
        break;
    }

    // The back button ("Ja" on the confirmation screen) leaves whatever is open.
    if (pointInRect(x, y, b.back)) {
        // A list is written back as it goes, the game's with the game.
        openList.reset();
        running.reset();
        shown = MainMenu;
    }
    requestRedraw();
}

void Application::draw()
{
    // Only these two change meaning between screens, so a stale one must never be hit.
    drawn.back = SDL_Rect{0, 0, 0, 0};
    drawn.endGame = SDL_Rect{0, 0, 0, 0};
    SDL_FillRect(screenSurface, nullptr, SDL_MapRGB(screenSurface->format, 0, 0, 0));

    switch (shown) {
    case MainMenu: drawMainMenu(drawn, music.isPlaying()); break;
    case ChooseVariant: drawVariantChoice(drawn); break;
    case ChooseColours: drawColourChoice(drawn); break;
    case ChooseDifficulty: drawDifficultyChoice(drawn); break;
    case InGame: drawGameScreen(drawn, *running); break;
    case ChooseTileset: drawTilesetChoice(drawn, chosenTileset); break;
    case Info: drawInfo(drawn); break;
    case ChooseHighscores: drawHighscoreChoice(drawn); break;
    case HighscoreList: drawHighscoreList(drawn, *openList); break;
    case ConfirmEnd: drawConfirmEnd(drawn); break;
    }
    // A new screen's marker starts on its first label.
    if (labelsShown() != markerScreen) {
        markerScreen = labelsShown();
        marked = 0;
    }
    if (keyboardInUse && shown == InGame && running->state() == Playing)
        drawCellCursor(cursor);
    const std::vector<SDL_Rect> shownLabels = labels();
    if (keyboardInUse && marked < static_cast<int>(shownLabels.size()))
        drawMarker(shownLabels[static_cast<size_t>(marked)]);
    showFrame();
}

std::pair<ScreenState, GameState> Application::labelsShown() const
{
    return {shown, shown == InGame ? running->state() : Playing};
}

std::vector<SDL_Rect> Application::labels() const
{
    const Buttons& b = drawn;
    std::vector<SDL_Rect> all;
    const auto add = [&all](const auto&... rects) { (all.push_back(rects), ...); };
    switch (shown) {
    case MainMenu: add(b.play, b.tileset, b.highscores, b.info, b.quit, b.music); break;
    case ChooseVariant: all.assign(std::begin(b.variantChoices), std::end(b.variantChoices)); break;
    case ChooseColours: all.assign(std::begin(b.colourChoices), std::end(b.colourChoices)); break;
    case ChooseDifficulty: all.assign(std::begin(b.difficultyChoices), std::end(b.difficultyChoices)); break;
    case ChooseTileset: all.assign(std::begin(b.tilesetChoices), std::end(b.tilesetChoices)); break;
    case ChooseHighscores: all.assign(std::begin(b.highscoreChoices), std::end(b.highscoreChoices)); break;
    case ConfirmEnd: add(b.back, b.endGame); break;  // "Ja", "Nein"
    case InGame:
        // While the game is played the keys move the cursor on the board instead.
        if (running->state() == LevelResults || running->state() == GameResults)
            add(continueButton);
        break;
    case Info:
    case HighscoreList:
        break;
    }
    // Every screen but the game's own and the confirmation ends in its back button.
    if (shown != ConfirmEnd && (shown != InGame || running->state() == ShowHighscores))
        add(b.back);
    std::erase_if(all, [](const SDL_Rect& r) { return r.w == 0 || r.h == 0; });
    return all;
}
