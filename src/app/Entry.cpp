#include "app/Entry.h"

#include <SDL_ttf.h>
#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/Application.h"
#include "app/Clock.h"
#include "gfx/Text.h"
#include "system/Files.h"

// Last: Xlib defines macros such as None and Status.
#include <SDL_syswm.h>

namespace {

constexpr uint32_t TickPeriod = 500;
// Without an X connection there is nothing to wait on; a short sleep keeps the loop cheap.
constexpr uint32_t SleepWithoutDisplay = 5;

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
    SDL_Surface* icon = isRegularFile(iconFile) ? SDL_LoadBMP(iconFile) : nullptr;
    if (!icon)
        return;
    SDL_WM_SetIcon(icon, nullptr);
    SDL_FreeSurface(icon);
}

}  // namespace

MainLoop::MainLoop(Application& app) : app(app)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) > 0 && info.subsystem == SDL_SYSWM_X11) {
        xDisplay = info.info.x11.display;
        lockDisplay = info.info.x11.lock_func;
        unlockDisplay = info.info.x11.unlock_func;
    }
}

void MainLoop::dispatch(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_ESCAPE)
            running = false;
        else
            app.handleKey(event.key.keysym.unicode);
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT)
            app.handleClick(static_cast<int16_t>(event.button.x), static_cast<int16_t>(event.button.y));
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

void MainLoop::run()
{
    while (runPass())
        waitForWork();
}

void MainLoop::waitForWork() const
{
    // A tick may just have asked for a redraw.
    if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_ALLEVENTS) > 0)
        return;
    const uint32_t elapsed = currentTicks() - lastTick;
    if (elapsed >= TickPeriod)
        return;
    const uint32_t untilTick = TickPeriod - elapsed;
    if (xDisplay)
        waitOnDisplay(untilTick);
    else
        SDL_Delay(std::min(untilTick, SleepWithoutDisplay));
}

// Sleeps until the X connection has something to read or the tick is due. The wait is bounded
// by the tick, so SDL_QUIT from a SIGTERM handled on another thread is seen within one period.
void MainLoop::waitOnDisplay(uint32_t milliseconds) const
{
    auto* display = static_cast<Display*>(xDisplay);
    lockDisplay();
    XFlush(display);
    // Xlib may already hold events that it read while we were drawing; the socket would not
    // show them.
    const bool queued = XEventsQueued(display, QueuedAlready) > 0;
    const int connection = ConnectionNumber(display);
    unlockDisplay();
    if (queued)
        return;
    pollfd input{connection, POLLIN, 0};
    poll(&input, 1, static_cast<int>(milliseconds));
}

int runKlakoria(int, char**)
{
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) < 0)
        failStartUp("SDL konnte nicht initialisiert werden: %s\n");
    if (TTF_Init() == -1)
        failStartUp("SDL_ttf konnte nicht initialisiert werden: %s\n");
    SDL_WM_SetCaption("Klakoria", "Klakoria");
    setWindowIcon();
    SDL_EnableUNICODE(1);
    {
        FontCache fonts;
        Application app;
        MainLoop loop(app);
        loop.run();
    }
    TTF_Quit();
    SDL_Quit();
    return 0;
}
