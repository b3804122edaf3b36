#pragma once
#include <SDL.h>

#include <cstdint>
#include <functional>
#include <string>

enum class TextAlign : int32_t { Left = 0, Center = 1, Right = 2 };

// Draws red Latin-1 text on a black box onto screenSurface. y is the top edge; x is the left
// edge, the centre or the right edge by align, and x = 0 with Center or Right means the window.
// outRect, when given, receives the drawn box (before clipping). An empty text draws nothing
// and leaves outRect alone. A text wider than the window is cut at its end before rendering.
// size is one of TextSizes (gfx/GlyphSheets.h), the sizes that the glyph sheets hold.
void drawText(std::string text, int32_t x, int32_t y, TextAlign align, int32_t size, SDL_Rect* outRect);

// The longest end of text that fits into maxWidth pixels at this size (for the name being typed).
std::string keepEndWithin(const std::string& text, int32_t size, int32_t maxWidth);

std::string intToString(int32_t n);

// While one lives, drawText and keepEndWithin keep the fonts of the last few sizes open with the
// glyphs they have rendered, instead of opening the font file for every text: a running game
// redraws its status line twice a second, and a fresh font parses the file and hints every glyph
// again. The entry function holds one around the main loop; it must end before TTF_Quit. A
// missing font file still ends the program at the first text of a size that is not open yet.
// Texts drawn from the glyph sheets (KLAKORIA_GLYPH_TEXT) open no font: there it keeps nothing.
class FontCache {
public:
    FontCache();
    ~FontCache();  // closes the fonts it kept
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;
};

// Tests observe what drawText is asked to draw, to check a screen against its layout table.
struct DrawnText {
    std::string text;
    int32_t x;
    int32_t y;
    TextAlign align;
    int32_t size;
};
using TextObserver = std::function<void(const DrawnText&)>;
void setTextObserver(TextObserver observer);  // an empty function removes the observer
