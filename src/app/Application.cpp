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

Application::Application(int videoDepth, const Options& options) : depth(videoDepth), kept(readSettings())
{
    const Settings settings = withOptions(kept, options);
    // A mode the screen refuses falls back to the plain window, so no setting keeps the game from starting.
    if (!openWindow({settings.scale, settings.fullscreen}, depth) && !openWindow({}, depth)) {
        std::fprintf(stderr, "Konnte Bildschirmmodus nicht setzten: %s\n", SDL_GetError());
        std::exit(1);
    }
    chosenTileset = settings.tileset;
    loadTileset();
    selectTileset(chosenTileset);
    music.load("Data/Musik.wav");
    if (settings.music)
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
    closeWindow();
    // music is a member and stops and frees the piece after this body.
}

void Application::startGame(std::unique_ptr<Game> game)
{
    // A list opened from the menu belongs to the list screen, which this leaves.
    openList.reset();
    running = std::move(game);
    shown = InGame;
    cursor = Cell{0, LastRow};
}

void Application::handleKey(SDLKey key, uint16_t unicode)
{
    if (key == SDLK_F11) {
        toggleFullscreen();
        return;
    }
    const GameState state = running ? running->state() : Playing;
    if (shown == InGame && state == NameEntry) {
        running->editPlayerName(unicode);
        draw();
        return;
    }
    const bool pressed = key == SDLK_RETURN || key == SDLK_KP_ENTER;
    if (shown == InGame && (state == Playing || state == Paused)) {
        if (key == SDLK_UP || key == SDLK_DOWN || key == SDLK_LEFT || key == SDLK_RIGHT) {
            moveCursor(key);
        } else if ((pressed || key == SDLK_SPACE) && keyboardInUse) {  // never on a hidden cursor
            press(static_cast<int16_t>(cursor.column * TileSize + TileSize / 2),
                  static_cast<int16_t>(cursor.row * TileSize + TileSize / 2));
        }
        return;
    }
    if (key == SDLK_DOWN || key == SDLK_TAB) {
        moveMarker(1);
    } else if (key == SDLK_UP) {
        moveMarker(-1);
    } else if (pressed && keyboardInUse) {
        const std::vector<SDL_Rect> shownLabels = labels();
        if (marked >= 0 && marked < static_cast<int>(shownLabels.size())) {
            const SDL_Rect& label = shownLabels[static_cast<size_t>(marked)];
            press(static_cast<int16_t>(label.x + label.w / 2), static_cast<int16_t>(label.y + label.h / 2));
        }
    }
}

// The cursor stops at the edges of the board.
void Application::moveCursor(SDLKey key)
{
    if (keyboardInUse) {
        const int column = cursor.column + (key == SDLK_RIGHT) - (key == SDLK_LEFT);
        const int row = cursor.row + (key == SDLK_DOWN) - (key == SDLK_UP);
        if (onBoard(column, row))
            cursor = Cell{static_cast<int16_t>(column), static_cast<int16_t>(row)};
    }
    keyboardInUse = true;  // the first key only shows the cursor where it is
    requestRedraw();
}

// The marker goes round: after the last label comes the first.
void Application::moveMarker(int step)
{
    const int count = static_cast<int>(labels().size());
    if (count == 0)
        return;
    if (keyboardInUse)
        marked = (marked + step + count) % count;
    else
        marked = step > 0 ? 0 : count - 1;
    keyboardInUse = true;
    requestRedraw();
}

void Application::toggleFullscreen()
{
    const WindowMode before = windowMode();
    const WindowMode wanted{before.scale, !before.fullscreen};
    // A mode the screen refuses leaves the window as it was.
    if (!openWindow(wanted, depth)) {
        if (!openWindow(before, depth)) {
            std::fprintf(stderr, "Konnte Bildschirmmodus nicht setzten: %s\n", SDL_GetError());
            std::exit(1);
        }
    } else {
        Settings changed = kept;
        changed.fullscreen = wanted.fullscreen;
        remember(changed);
    }
    requestRedraw();
}

void Application::remember(const Settings& changed)
{
    if (changed == kept)
        return;
    kept = changed;
    writeSettings(kept);
}

bool Application::ticking() const { return shown == InGame && running && running->state() == Playing; }

void Application::handleTick()
{
    if (ticking() && running->tick())
        requestRedraw();
}
