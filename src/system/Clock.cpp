#include "system/Clock.h"

#include <SDL.h>

namespace {
TickSource tickSource = nullptr;
bool animationWaits = true;
}  // namespace

uint32_t currentTicks() { return tickSource ? tickSource() : SDL_GetTicks(); }

void setTickSource(TickSource source) { tickSource = source; }

void animationDelay(uint32_t milliseconds)
{
    if (animationWaits)
        SDL_Delay(milliseconds);
}

void setAnimationWaits(bool enabled) { animationWaits = enabled; }
