#pragma once
#include <SDL.h>

// The font file as a stream for TTF_OpenFontRW. FreeType reads a font in many small pieces at
// scattered places, and the same places again for every size: through stdio each piece costs a
// seek and a read of the kernel, which took about half of the time of a text drawn with a newly
// opened font. This stream reads whole blocks and keeps the last ones it read in memory, shared
// by every size of the same file, so most pieces are copied from there.
//
// Null when the file cannot be opened as a regular file: the caller then opens it as before and
// reports the failure in SDL's own words. The stream closes its file when SDL_RWclose is called.
SDL_RWops* openFontFile(const char* fileName);
