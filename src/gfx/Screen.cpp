#include "gfx/Screen.h"

SDL_Surface* screenSurface = nullptr;
