#include <SDL.h>

#include "app/Application.h"
#include "app/Entry.h"
#include "gfx/Text.h"
#include "system/InputWait.h"

void playGame(const Options& options)
{
    FontCache fonts;
    Application app(0, options);
    MainLoop loop(app);
    loop.run();
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
    // The wait is bounded by the tick, so SDL_QUIT from a SIGTERM handled on another thread is
    // seen within one period.
    if (const uint32_t wait = untilTick(); wait > 0)
        waitForInput(wait);
}
