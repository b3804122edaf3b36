#pragma once
#include <cstdint>
#include <string>

#include "gfx/Screen.h"

// Texts drawn from the glyph sheets (gfx/GlyphSheets.h) instead of by SDL_ttf, for the web build,
// where SDL_ttf draws with a font of the browser. Box, pixels and widths are exactly those that
// SDL_ttf's TTF_RenderText_Shaded (red on black) and TTF_SizeText give with Data/boulder.ttf.
//
// One size of the font, in the shape of the SDL_ttf font that drawText uses on the desktop, so
// that Text.cpp switches between the two in one line. The first GlyphFont reads the sheets from
// Data/ once; a missing or damaged file, or a size the sheets do not hold, ends the program as a
// missing font file does. Like SDL_ttf, both functions see a text only up to its first NUL byte.
class GlyphFont {
public:
    explicit GlyphFont(int32_t size);
    // The width in pixels of the text's box, as TTF_SizeText measures it.
    int32_t width(const std::string& text) const;
    // The text in a 32-bit surface of exactly its box, every pixel the colour that SDL_ttf's 8-bit
    // surface has there (one of its 256 shades from black to red); null for a text of no width, as
    // SDL_ttf returns.
    SurfacePtr render(const std::string& text) const;

private:
    const struct LoadedGlyphs* glyphs;
};
