#include "app/Application.h"

#include <cstdio>
#include <cstdlib>

#include "app/Redraw.h"
#include "gfx/Screen.h"
#include "gfx/Tileset.h"

const std::array<std::string, 4> variantNames = {"Standart Click", "Chaos Click", "Speed Click", "FallDown Click"};

Application::Application(int videoDepth)
{
    screenSurface = SDL_SetVideoMode(WindowWidth, WindowHeight, videoDepth, SDL_HWSURFACE | SDL_DOUBLEBUF);
    if (!screenSurface) {
        std::fprintf(stderr, "Konnte Bildschirmmodus nicht setzten: %s\n", SDL_GetError());
        std::exit(1);
    }
    loadTileset();
    selectTileset(tileset);
    music.load("Data/Musik.wav");
    music.play();
    screen = MainMenu;
    requestRedraw();
}

Application::~Application()
{
    // The game writes its highscore list back while it is deleted; so does a list opened from
    // the menu, which the program may also end on.
    game.reset();
    shownHighscores.reset();
    freeTileset();
    // music is a member and stops and frees the piece after this body.
}

void Application::handleKey(uint16_t key)
{
    if (screen != InGame || !game || game->state() != NameEntry)
        return;
    game->editPlayerName(key);
    draw();
}

void Application::handleTick()
{
    if (screen == InGame && game && game->state() == Playing && game->tick())
        requestRedraw();
}
