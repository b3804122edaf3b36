#include "app/Entry.h"

#include <SDL_ttf.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/Application.h"
#include "app/Options.h"
#include "gfx/Screen.h"
#include "system/Clock.h"
#include "system/Files.h"

namespace {

constexpr uint32_t TickPeriod = 500;

[[noreturn]] void failStartUp(const char* format)
{
    std::fprintf(stderr, format, SDL_GetError());
    std::exit(1);
}

// A missing or unreadable icon leaves the window with the default one, silently; so does anything
// but a regular file, which opening might wait on for ever (a FIFO).
void setWindowIcon()
{
    const char* const iconFile = "Data/icon.bmp";
    const SurfacePtr icon(isRegularFile(iconFile) ? SDL_LoadBMP(iconFile) : nullptr);
    if (icon)
        SDL_WM_SetIcon(icon.get(), nullptr);
}

}  // namespace

MainLoop::MainLoop(Application& app) : app(app) {}

void MainLoop::dispatch(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_ESCAPE)
            running = false;
        else
            // SDL gives 16 bits of the character typed (Emscripten's SDL stores them in 32).
            app.handleKey(event.key.keysym.sym, static_cast<uint16_t>(event.key.keysym.unicode));
        break;
    case SDL_MOUSEBUTTONDOWN:
        // A click on the black border around a magnified picture hits nothing.
        if (int16_t x = 0, y = 0; event.button.button == SDL_BUTTON_LEFT && pictureAt(event.button.x, event.button.y, x, y))
            app.handleClick(x, y);
        break;
    case SDL_QUIT:
        running = false;
        break;
    case SDL_USEREVENT:
        app.draw();
        break;
    default:
        break;
    }
}

bool MainLoop::runPass()
{
    ++passCount;
    // Events queued behind Escape or SDL_QUIT are still handled in this pass.
    SDL_Event event;
    while (SDL_PollEvent(&event))
        dispatch(event);
    if (firstPass) {
        lastTick = currentTicks();
        firstPass = false;
    }
    // The period counts from the end of the previous tick, so a slow pass never brings two.
    if (currentTicks() - lastTick >= TickPeriod) {
        app.handleTick();
        lastTick = currentTicks();
    }
    return running;
}

uint32_t MainLoop::untilTick() const
{
    const uint32_t elapsed = currentTicks() - lastTick;
    return elapsed < TickPeriod ? TickPeriod - elapsed : 0;
}

int runKlakoria(int argc, char** argv)
{
    const std::optional<Options> options = parseOptions(argc, argv);
    if (!options) {
        std::fputs(UsageText, stderr);
        return 2;
    }
    if (options->help) {
        std::fputs(UsageText, stdout);
        return 0;
    }
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) < 0)
        failStartUp("SDL konnte nicht initialisiert werden: %s\n");
    if (TTF_Init() == -1)
        failStartUp("SDL_ttf konnte nicht initialisiert werden: %s\n");
    SDL_WM_SetCaption("Klakoria", "Klakoria");
    setWindowIcon();
    SDL_EnableUNICODE(1);
    playGame(*options);
    TTF_Quit();
    SDL_Quit();
    return 0;
}
