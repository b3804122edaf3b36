#include "gfx/Text.h"

#include <SDL_ttf.h>

#include <array>
#include <cassert>
#include <cstdio>
#include <cstdlib>

#include "gfx/FontFile.h"
#include "gfx/GlyphSheets.h"
#include "gfx/GlyphText.h"
#include "gfx/Screen.h"
#include "system/Files.h"

namespace {

const char* const FontFile = "Data/boulder.ttf";
const SDL_Color Red{255, 0, 0, 0};
const SDL_Color Black{0, 0, 0, 0};

TextObserver textObserver;

// A file that cannot be opened as a font file stream is opened by SDL, which then reports why.
// Anything but a regular file is reported as missing, in SDL's words: SDL would wait on a FIFO
// for a writer for ever.
TTF_Font* openFont(int32_t size)
{
    TTF_Font* font = nullptr;
    if (!isRegularFile(FontFile))
        SDL_SetError("Couldn't open %s", FontFile);
    else if (SDL_RWops* file = openFontFile(FontFile))
        font = TTF_OpenFontRW(file, 1, size);
    else
        font = TTF_OpenFont(FontFile, size);
    if (!font) {
        std::fprintf(stderr, "Konnte Font-File nicht laden!: %s\n", SDL_GetError());
        std::exit(1);
    }
    return font;
}

// The fonts a FontCache keeps open, one per size, the least recently used giving way.
struct CachedFont {
    int32_t size = 0;
    TTF_Font* font = nullptr;
    uint64_t lastUse = 0;
};
// Two: a running game draws only in size 18, a paused one adds its size 90 heading, so the screens
// that redraw by themselves never open a font. Menus with more sizes reopen the others per frame,
// which costs well under a millisecond; every open size holds about 110 KB.
constexpr size_t CachedSizes = 2;
std::array<CachedFont, CachedSizes> cachedFonts;
int livingFontCaches = 0;
uint64_t fontUses = 0;

TTF_Font* takeFont(int32_t size)
{
    if (livingFontCaches == 0)
        return openFont(size);
    ++fontUses;
    CachedFont* giveWay = &cachedFonts[0];
    for (CachedFont& entry : cachedFonts) {
        if (entry.font && entry.size == size) {
            entry.lastUse = fontUses;
            return entry.font;
        }
        if (giveWay->font && (!entry.font || entry.lastUse < giveWay->lastUse))
            giveWay = &entry;
    }
    if (giveWay->font)
        TTF_CloseFont(giveWay->font);
    *giveWay = CachedFont{size, openFont(size), fontUses};
    return giveWay->font;
}

void giveBackFont(TTF_Font* font)
{
    if (livingFontCaches == 0)
        TTF_CloseFont(font);
}

// One size of the font as drawText uses it, taken from the FontCache while it lives.
class TtfFont {
public:
    explicit TtfFont(int32_t size) : font(takeFont(size)) {}
    ~TtfFont() { giveBackFont(font); }
    TtfFont(const TtfFont&) = delete;
    TtfFont& operator=(const TtfFont&) = delete;

    int32_t width(const std::string& text) const
    {
        int width = 0;
        int height = 0;
        if (TTF_SizeText(font, text.c_str(), &width, &height) != 0)
            return 0;
        return width;
    }
    SurfacePtr render(const std::string& text) const
    {
        return SurfacePtr(TTF_RenderText_Shaded(font, text.c_str(), Red, Black));
    }

private:
    TTF_Font* font;
};

// What draws the texts: SDL_ttf, or for the web build, where SDL_ttf draws with a font of the
// browser, the glyph sheets made from SDL_ttf's own rendering, which give the same pixels.
#ifdef KLAKORIA_GLYPH_TEXT
using Font = GlyphFont;
#else
using Font = TtfFont;
#endif

// The longest piece of text that fits into maxWidth, keeping its start or its end. Widths grow
// with the length, so a binary search over the length finds it with a few measurements.
std::string longestFitting(const Font& font, const std::string& text, int maxWidth, bool keepEnd)
{
    auto piece = [&](size_t length) {
        return keepEnd ? text.substr(text.size() - length) : text.substr(0, length);
    };
    if (font.width(text) <= maxWidth)
        return text;
    size_t fits = 0;                 // known to fit
    size_t tooLong = text.size();    // known not to fit
    while (tooLong - fits > 1) {
        const size_t middle = fits + (tooLong - fits) / 2;
        if (font.width(piece(middle)) <= maxWidth)
            fits = middle;
        else
            tooLong = middle;
    }
    return piece(fits);
}

int32_t leftEdge(int32_t x, TextAlign align, int32_t width)
{
    switch (align) {
    case TextAlign::Center:
        return (x == 0 ? WindowWidth / 2 : x) - width / 2;
    case TextAlign::Right:
        return (x == 0 ? WindowWidth : x) - width;
    case TextAlign::Left:
        break;
    }
    return x;
}

}  // namespace

void drawText(std::string text, int32_t x, int32_t y, TextAlign align, int32_t size, SDL_Rect* outRect)
{
    // SDL_ttf reads the text as a C string: a NUL byte ends it there (a name read from a damaged
    // list may start with one), and a text that ends up empty cannot be rendered at all.
    if (const size_t nul = text.find('\0'); nul != std::string::npos)
        text.resize(nul);
    if (text.empty())
        return;
    if (textObserver)
        textObserver(DrawnText{text, x, y, align, size});

    assert(isTextSize(size));  // the web build has glyphs of these sizes only
    const Font font(size);
    // SDL_ttf cannot render arbitrarily wide lines and surface pitches are 16 bits wide; what
    // does not fit into the window would never be seen anyway.
    text = longestFitting(font, text, WindowWidth, false);
    const SurfacePtr rendered = font.render(text);
    if (!rendered) {
        std::fprintf(stderr, "Konnte text nicht in sText schreiben!: %s\n", SDL_GetError());
        std::exit(1);
    }

    const int32_t left = leftEdge(x, align, rendered->w);
    if (outRect)
        *outRect = SDL_Rect{static_cast<Sint16>(left), static_cast<Sint16>(y),
                            static_cast<Uint16>(rendered->w), static_cast<Uint16>(rendered->h)};
    SDL_Rect destination{static_cast<Sint16>(left), static_cast<Sint16>(y), 0, 0};
    SDL_BlitSurface(rendered.get(), nullptr, screenSurface, &destination);
}

std::string keepEndWithin(const std::string& text, int32_t size, int32_t maxWidth)
{
    if (text.empty())
        return text;
    assert(isTextSize(size));
    return longestFitting(Font(size), text, maxWidth, true);
}

std::string intToString(int32_t n) { return std::to_string(n); }

FontCache::FontCache() { ++livingFontCaches; }

FontCache::~FontCache()
{
    if (--livingFontCaches > 0)
        return;
    for (CachedFont& entry : cachedFonts) {
        if (entry.font)
            TTF_CloseFont(entry.font);
        entry = CachedFont{};
    }
}

void setTextObserver(TextObserver observer) { textObserver = std::move(observer); }
