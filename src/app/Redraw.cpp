#include "app/Redraw.h"

namespace {
SDL_Event makeRedrawEvent()
{
    SDL_Event event{};
    event.user.type = SDL_USEREVENT;
    event.user.code = 0;
    event.user.data1 = nullptr;
    event.user.data2 = nullptr;
    return event;
}
}  // namespace

SDL_Event redrawEvent = makeRedrawEvent();

void requestRedraw()
{
    // A full queue only loses a frame that a later request will bring anyway.
    SDL_PushEvent(&redrawEvent);
}
