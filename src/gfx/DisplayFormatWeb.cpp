#include <SDL.h>

// Emscripten's SDL has no SDL_DisplayFormat: every surface there is a canvas of one format, so a
// copy of the surface is what the conversion makes.
extern "C" SDL_Surface* SDL_DisplayFormat(SDL_Surface* surface) { return SDL_DisplayFormatAlpha(surface); }
