#include "system/InputWait.h"

#include <SDL.h>
#include <poll.h>

#include <algorithm>

// Last: Xlib defines macros such as None and Status.
#include <SDL_syswm.h>

namespace {

constexpr uint32_t SleepWithoutDisplay = 5;

}  // namespace

void waitForInput(uint32_t milliseconds)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11) {
        SDL_Delay(std::min(milliseconds, SleepWithoutDisplay));
        return;
    }
    Display* display = info.info.x11.display;
    info.info.x11.lock_func();
    XFlush(display);
    // Xlib may already hold events that it read while we were drawing; the socket would not
    // show them.
    const bool queued = XEventsQueued(display, QueuedAlready) > 0;
    const int connection = ConnectionNumber(display);
    info.info.x11.unlock_func();
    if (queued)
        return;
    pollfd input{connection, POLLIN, 0};
    poll(&input, 1, static_cast<int>(milliseconds));
}
