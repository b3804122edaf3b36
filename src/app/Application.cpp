#include "app/Application.h"

#include <cstdio>
#include <cstdlib>

#include "app/Redraw.h"
#include "gfx/Screen.h"
#include "gfx/Text.h"
#include "gfx/Tileset.h"

const std::array<std::string, 4> variantNames = {"Standart Click", "Chaos Click", "Speed Click", "FallDown Click"};

std::unique_ptr<HighscoreTable> highscoresOf(int variant)
{
    return std::make_unique<HighscoreTable>(variantNames[variant], "Data/var" + intToString(variant + 1) + ".hsc", 10);
}

void exitUnlessSpeed(int variant)
{
    if (variant == 2)
        return;
    std::fprintf(stderr, "Ungueltige Spielnummer: %d\n", variant);
    std::exit(6);
}

Application::Application(int videoDepth)
{
    screenSurface = SDL_SetVideoMode(WindowWidth, WindowHeight, videoDepth, SDL_HWSURFACE | SDL_DOUBLEBUF);
    if (!screenSurface) {
        std::fprintf(stderr, "Konnte Bildschirmmodus nicht setzten: %s\n", SDL_GetError());
        std::exit(1);
    }
    loadTileset();
    selectTileset(chosenTileset);
    music.load("Data/Musik.wav");
    music.play();
    requestRedraw();
}

Application::~Application()
{
    // The game writes its highscore list back while it is deleted; so does a list opened from
    // the menu, which the program may also end on.
    running.reset();
    openList.reset();
    freeTileset();
    // music is a member and stops and frees the piece after this body.
}

void Application::startGame(std::unique_ptr<Game> game)
{
    // A list opened from the menu belongs to the list screen, which this leaves.
    openList.reset();
    running = std::move(game);
    shown = InGame;
}

void Application::handleKey(uint16_t key)
{
    if (shown != InGame || !running || running->state() != NameEntry)
        return;
    running->editPlayerName(key);
    draw();
}

void Application::handleTick()
{
    if (shown == InGame && running && running->state() == Playing && running->tick())
        requestRedraw();
}
