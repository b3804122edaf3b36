#include <SDL_ttf.h>

#include "gfx/FontFile.h"

// The browser's SDL_ttf draws with a font of the browser, named by the file name (web/klakoria-pre.js
// registers the game's font under that name), and never reads the file: there is no stream to make,
// and the text falls back on TTF_OpenFont.
SDL_RWops* openFontFile(const char* /*fileName*/) { return nullptr; }

// That SDL_ttf has no TTF_OpenFontRW; with no stream it is never called.
extern "C" TTF_Font* TTF_OpenFontRW(SDL_RWops* /*source*/, int /*freeSource*/, int /*pointSize*/) { return nullptr; }
