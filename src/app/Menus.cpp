// The Application's screens: what a left click does on each, and what each one shows.

#include <cstdio>
#include <cstdlib>

#include "app/Application.h"
#include "app/Redraw.h"
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

// Button rectangles are members of Application; a label names the one it fills through an accessor.
using ButtonOf = SDL_Rect* (*)(Application&);

template <SDL_Rect Application::*member>
SDL_Rect* field(Application& app)
{
    return &(app.*member);
}

template <auto array, int index>
SDL_Rect* element(Application& app)
{
    return &(app.*array)[index];
}

struct Label {
    std::string text;
    int32_t size;
    int32_t x;
    int32_t y;
    TextAlign align;
    ButtonOf button;  // nullptr: not clickable
};

void drawLabels(Application& app, std::initializer_list<Label> labels)
{
    for (const Label& label : labels)
        drawText(label.text, label.x, label.y, label.align, label.size, label.button ? label.button(app) : nullptr);
}

const std::string backLabel = "zur\xFC" "ck zum Men\xFC";

void drawBackButton(Application& app)
{
    drawLabels(app, {{backLabel, 18, 0, 576, TextAlign::Center, field<&Application::backButton>}});
}

void drawMainMenu(Application& app)
{
    drawLabels(app, {
        {"K L A K O R I A", 72, 0, 10, TextAlign::Center, nullptr},
        {"Spielen", 30, 0, 130, TextAlign::Center, field<&Application::playButton>},
        {"TileSet", 30, 0, 180, TextAlign::Center, field<&Application::tilesetButton>},
        {"Highscores", 30, 0, 230, TextAlign::Center, field<&Application::highscoresButton>},
        {"Info", 30, 0, 280, TextAlign::Center, field<&Application::infoButton>},
        {"Ende", 30, 0, 330, TextAlign::Center, field<&Application::quitButton>},
    });
    // The label names what a click does, so it reads "off" while the music plays.
    drawText(app.music.isPlaying() ? "Hintergrundmusik aus" : "Hintergrundmusik an", 0, 576, TextAlign::Center, 18,
             &app.musicButton);
}

void drawVariantChoice(Application& app)
{
    drawLabels(app, {
        {"Welche Spielvariante spielen?", 50, 0, 10, TextAlign::Center, nullptr},
        {variantNames[0], 35, 0, 100, TextAlign::Center, element<&Application::variantChoices, 0>},
        {"Standartvariante mit 6 Level.", 16, 0, 140, TextAlign::Center, nullptr},
        {"Mit jedem Level werden es mehr Farben.", 16, 0, 162, TextAlign::Center, nullptr},
        {variantNames[1], 35, 0, 200, TextAlign::Center, element<&Application::variantChoices, 1>},
        {"Bei jedem Click in das Feld,", 16, 0, 240, TextAlign::Center, nullptr},
        {"wird das Feld woanders zentriert.", 16, 0, 262, TextAlign::Center, nullptr},
        {variantNames[2], 35, 0, 300, TextAlign::Center, element<&Application::variantChoices, 2>},
        {"Mit jeder Sekunde werden Punkte abgezogen.", 16, 0, 340, TextAlign::Center, nullptr},
        {"Bei weniger als 0 Punkten ist das Spiel zuende!", 16, 0, 362, TextAlign::Center, nullptr},
        {variantNames[3], 35, 0, 400, TextAlign::Center, element<&Application::variantChoices, 3>},
        {"Die Oberste Reihe wird st\xE4ndig gef\xFCllt.", 16, 0, 440, TextAlign::Center, nullptr},
        {"Wenn sie nicht gef\xFCllt werden kann, hat man Verloren!", 16, 0, 462, TextAlign::Center, nullptr},
    });
    drawBackButton(app);
}

void drawColourChoice(Application& app)
{
    drawLabels(app, {
        {"Mit wievel Farben spielen?", 50, 0, 10, TextAlign::Center, nullptr},
        {"zwei Farben", 35, 0, 100, TextAlign::Center, element<&Application::colourChoices, 0>},
        {"drei Farben", 35, 0, 150, TextAlign::Center, element<&Application::colourChoices, 1>},
        {"vier Farben", 35, 0, 200, TextAlign::Center, element<&Application::colourChoices, 2>},
        {"f\xFCnf Farben", 35, 0, 250, TextAlign::Center, element<&Application::colourChoices, 3>},
    });
    drawBackButton(app);
}

void drawDifficultyChoice(Application& app)
{
    drawLabels(app, {
        {"Welche Schwierigkeitsstufe?", 50, 0, 10, TextAlign::Center, nullptr},
        {"Leicht", 35, 0, 100, TextAlign::Center, element<&Application::difficultyChoices, 0>},
        {"Mittel", 35, 0, 150, TextAlign::Center, element<&Application::difficultyChoices, 1>},
        {"Schwer", 35, 0, 200, TextAlign::Center, element<&Application::difficultyChoices, 2>},
    });
    drawBackButton(app);
}

// Preview n: a 4 x 4 block whose rows show tiles r, 2r, 2r, r, under the label "TileSet n+1".
void drawTilesetPreview(Application& app, int n)
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
    app.tilesetChoices[n] = SDL_Rect{static_cast<Sint16>(centre - 64), 180, 128, 148};
}

void drawTilesetChoice(Application& app)
{
    drawText("Welches TileSet verwenden?", 0, 10, TextAlign::Center, 50, nullptr);
    // Drawing the previews walks tileRects through every set; the player's own set comes back
    // afterwards, so leaving this screen without choosing keeps it.
    for (int n = 0; n < TileSetCount; ++n)
        drawTilesetPreview(app, n);
    selectTileset(app.tileset);
    drawBackButton(app);
}

void drawInfo(Application& app)
{
    drawLabels(app, {
        {"Klakoria: Gruppen anklicken, Feld leeren.", 30, 0, 100, TextAlign::Center, nullptr},
        {"Ein Spiel des Klakoria-Teams.", 30, 0, 150, TextAlign::Center, nullptr},
    });
    drawBackButton(app);
}

void drawHighscoreChoice(Application& app)
{
    drawLabels(app, {
        {"Welche Highscore anzeigen?", 50, 0, 10, TextAlign::Center, nullptr},
        {variantNames[0], 35, 0, 110, TextAlign::Center, element<&Application::highscoreChoices, 0>},
        {variantNames[1], 35, 0, 160, TextAlign::Center, element<&Application::highscoreChoices, 1>},
        {variantNames[2], 35, 0, 210, TextAlign::Center, element<&Application::highscoreChoices, 2>},
        {variantNames[3], 35, 0, 260, TextAlign::Center, element<&Application::highscoreChoices, 3>},
    });
    drawBackButton(app);
}

void drawGameScreen(Application& app)
{
    app.game->draw();
    if (app.game->state() == Playing)
        drawText("(ende)", 200, 576, TextAlign::Left, 18, &app.endGameButton);
    else if (app.game->state() == ShowHighscores)
        drawBackButton(app);
}

void drawHighscoreList(Application& app)
{
    drawHighscoreScreen(*app.shownHighscores);
    drawBackButton(app);
}

void drawConfirmEnd(Application& app)
{
    drawLabels(app, {
        {"Wirklich beenden", 45, 0, 150, TextAlign::Center, nullptr},
        {"Ja", 30, 325, 200, TextAlign::Right, field<&Application::backButton>},
        {"Nein", 30, 475, 200, TextAlign::Left, field<&Application::endGameButton>},
    });
}

// A variant's list, as the games and the menu's viewer open it: "Data/var1.hsc" to "Data/var4.hsc".
std::unique_ptr<HighscoreTable> highscoresOf(int variant)
{
    return std::make_unique<HighscoreTable>(variantNames[variant], "Data/var" + intToString(variant + 1) + ".hsc", 10);
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
    switch (screen) {
    case MainMenu:
        if (pointInRect(x, y, playButton)) {
            screen = ChooseVariant;
        } else if (pointInRect(x, y, tilesetButton)) {
            screen = ChooseTileset;
        } else if (pointInRect(x, y, highscoresButton)) {
            screen = ChooseHighscores;
        } else if (pointInRect(x, y, infoButton)) {
            screen = Info;
        } else if (pointInRect(x, y, quitButton)) {
            std::exit(0);
        } else if (pointInRect(x, y, musicButton)) {
            if (music.isPlaying())
                music.stop();
            else
                music.play();
        }
        break;
    case ChooseVariant:
        if (pointInRect(x, y, variantChoices[0])) {
            variant = 0;
            game = std::make_unique<StandardGame>(highscoresOf(0));
            screen = InGame;
        } else if (pointInRect(x, y, variantChoices[1])) {
            variant = 1;
            screen = ChooseColours;
        } else if (pointInRect(x, y, variantChoices[2])) {
            variant = 2;
            screen = ChooseDifficulty;
        } else if (pointInRect(x, y, variantChoices[3])) {
            variant = 3;
            game = std::make_unique<FallDownGame>(highscoresOf(3));
            screen = InGame;
        }
        break;
    case ChooseColours:
        if (int i = choiceAt(x, y, colourChoices); i >= 0) {
            game = std::make_unique<ChaosGame>(highscoresOf(1), static_cast<int16_t>(i + 2));
            screen = InGame;
        }
        break;
    case ChooseDifficulty:
        if (int i = choiceAt(x, y, difficultyChoices); i >= 0) {
            if (variant != 2) {
                std::fprintf(stderr, "Ungueltige Spielnummer: %d\n", variant);
                std::exit(6);
            }
            game = std::make_unique<SpeedGame>(highscoresOf(2), static_cast<int16_t>(i));
            screen = InGame;
        }
        break;
    case InGame:
        game->click(x, y);
        // "(ende)" belongs to a game that is still playing: a click that has just ended the game,
        // or one queued behind it, must not pause a finished game.
        if (game->state() == Playing && pointInRect(x, y, endGameButton)) {
            game->leave();
            screen = ConfirmEnd;
        }
        break;
    case ChooseTileset:
        if (int i = choiceAt(x, y, tilesetChoices); i >= 0) {
            tileset = i;
            selectTileset(i);
            screen = MainMenu;
        }
        break;
    case ChooseHighscores:
        if (int i = choiceAt(x, y, highscoreChoices); i >= 0) {
            shownHighscores = highscoresOf(i);
            screen = HighscoreList;
        }
        break;
    case ConfirmEnd:
        if (pointInRect(x, y, endGameButton))  // "Nein"
            screen = InGame;
        break;
    case Info:
    case HighscoreList:
        break;
    }

    // The back button ("Ja" on the confirmation screen) leaves whatever is open.
    if (pointInRect(x, y, backButton)) {
        // A list is written back as it goes, the game's with the game.
        shownHighscores.reset();
        game.reset();
        screen = MainMenu;
    }
    requestRedraw();
}

void Application::draw()
{
    // Only these two change meaning between screens, so a stale one must never be hit.
    backButton = SDL_Rect{0, 0, 0, 0};
    endGameButton = SDL_Rect{0, 0, 0, 0};
    SDL_FillRect(screenSurface, nullptr, SDL_MapRGB(screenSurface->format, 0, 0, 0));

    switch (screen) {
    case MainMenu: drawMainMenu(*this); break;
    case ChooseVariant: drawVariantChoice(*this); break;
    case ChooseColours: drawColourChoice(*this); break;
    case ChooseDifficulty: drawDifficultyChoice(*this); break;
    case InGame: drawGameScreen(*this); break;
    case ChooseTileset: drawTilesetChoice(*this); break;
    case Info: drawInfo(*this); break;
    case ChooseHighscores: drawHighscoreChoice(*this); break;
    case HighscoreList: drawHighscoreList(*this); break;
    case ConfirmEnd: drawConfirmEnd(*this); break;
    }
    SDL_Flip(screenSurface);
}
