#include "gfx/Tileset.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

SDL_Surface* tileSheet = nullptr;
SDL_Rect* tileRects = nullptr;

namespace {

const char* const TemplateFile = "Data/tileset.bmp";
// Two layers of 32 pixels side by side; five bands of 160 rows, of which the last set ends at 672.
constexpr int TemplateWidth = 64;
constexpr int TemplateHeight = (TileSetCount - 1) * TileSetBand + 32;

struct Rgb {
    Uint8 r, g, b;
};
constexpr Rgb tileColours[TileColourCount] = {
    {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {0, 255, 255}, {255, 0, 255}, {200, 200, 200},
};

[[noreturn]] void refuseTemplate()
{
    std::fputs("Konnte Data/tileset.bmp nicht laden.\n", stderr);
    std::exit(1);
}

// Converts to the display's format and frees the original; a failure ends the program like an
// unreadable template, since the tiles cannot be drawn without it.
SDL_Surface* toDisplayFormat(SDL_Surface* surface)
{
    if (!surface)
        refuseTemplate();
    SDL_Surface* converted = SDL_DisplayFormat(surface);
    SDL_FreeSurface(surface);
    if (!converted)
        refuseTemplate();
    return converted;
}

SDL_Surface* loadTemplate()
{
    SDL_Surface* loaded = SDL_LoadBMP(TemplateFile);
    if (!loaded)
        refuseTemplate();
    // Anything narrower or shorter would make the sets and frames read outside the sheet.
    if (loaded->w != TemplateWidth || loaded->h < TemplateHeight) {
        SDL_FreeSurface(loaded);
        refuseTemplate();
    }
    // The key is set once the template is in the display's format, where pure white has a
    // value of its own: in a palette without white, SDL would key the closest colour instead,
    // and a light grey would take the tint.
    SDL_Surface* pattern = toDisplayFormat(loaded);
    SDL_SetColorKey(pattern, SDL_SRCCOLORKEY, SDL_MapRGB(pattern->format, 255, 255, 255));
    return pattern;
}

// A palette surface starts all black, so palette index 0 is black.
SDL_Surface* blackSurface(int width, int height)
{
    return toDisplayFormat(SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 8, 0, 0, 0, 0));
}

// Pixel values of every depth a display can have, in the surface's own byte order.
template <int Bytes>
Uint32 readPixel(const Uint8* p)
{
    if constexpr (Bytes == 1) {
        return *p;
    } else if constexpr (Bytes == 2) {
        Uint16 value;
        std::memcpy(&value, p, sizeof value);
        return value;
    } else if constexpr (Bytes == 3) {
        return SDL_BYTEORDER == SDL_LIL_ENDIAN ? p[0] | p[1] << 8 | p[2] << 16 : p[2] | p[1] << 8 | p[0] << 16;
    } else {
        Uint32 value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }
}

template <int Bytes>
void writePixel(Uint8* p, Uint32 value)
{
    if constexpr (Bytes == 1) {
        *p = static_cast<Uint8>(value);
    } else if constexpr (Bytes == 2) {
        const Uint16 narrow = static_cast<Uint16>(value);
        std::memcpy(p, &narrow, sizeof narrow);
    } else if constexpr (Bytes == 3) {
        for (int i = 0; i < 3; ++i)
            p[SDL_BYTEORDER == SDL_LIL_ENDIAN ? i : 2 - i] = static_cast<Uint8>(value >> (8 * i));
    } else {
        std::memcpy(p, &value, sizeof value);
    }
}

// The tiles of one colour, computed pixel by pixel (colour-keyed blits through a stamp took a
// good part of the start-up): the template's left layer in half the colour, its right layer in
// the full colour over it. White in the template takes the colour; black in the right layer
// shows the left one, so where both are black the sheet stays black. Pixels are compared in the
// display's format, where the template's white key lives, as a colour-keyed blit compares them.
template <int Bytes>
void tintColumn(const SDL_Surface* pattern, SDL_Surface* sheet, int column, Uint32 half, Uint32 full)
{
    constexpr int Layer = TemplateWidth / 2;
    const Uint32 white = pattern->format->colorkey;
    const Uint32 black = SDL_MapRGB(sheet->format, 0, 0, 0);
    for (int y = 0; y < TemplateHeight; ++y) {
        const Uint8* source = static_cast<const Uint8*>(pattern->pixels) + y * pattern->pitch;
        Uint8* target = static_cast<Uint8*>(sheet->pixels) + y * sheet->pitch + column * Layer * Bytes;
        for (int x = 0; x < Layer; ++x) {
            const Uint32 base = readPixel<Bytes>(source + x * Bytes);
            const Uint32 top = readPixel<Bytes>(source + (Layer + x) * Bytes);
            const Uint32 tintedTop = top == white ? full : top;
            writePixel<Bytes>(target + x * Bytes, tintedTop != black ? tintedTop : (base == white ? half : base));
        }
    }
}

void tintColumn(const SDL_Surface* pattern, SDL_Surface* sheet, int column, Uint32 half, Uint32 full)
{
    switch (sheet->format->BytesPerPixel) {
    case 1:
        return tintColumn<1>(pattern, sheet, column, half, full);
    case 2:
        return tintColumn<2>(pattern, sheet, column, half, full);
    case 3:
        return tintColumn<3>(pattern, sheet, column, half, full);
    default:
        return tintColumn<4>(pattern, sheet, column, half, full);
    }
}

}  // namespace

void loadTileset()
{
    SDL_Surface* pattern = loadTemplate();
    SDL_Surface* sheet = blackSurface(TileColourCount * TemplateWidth / 2, TemplateHeight);
    SDL_LockSurface(pattern);
    SDL_LockSurface(sheet);
    for (int k = 0; k < TileColourCount; ++k) {
        const Rgb full = tileColours[k];
        tintColumn(pattern, sheet, k,
                   SDL_MapRGB(sheet->format, static_cast<Uint8>(full.r / 2), static_cast<Uint8>(full.g / 2),
                              static_cast<Uint8>(full.b / 2)),
                   SDL_MapRGB(sheet->format, full.r, full.g, full.b));
    }
    SDL_UnlockSurface(sheet);
    SDL_UnlockSurface(pattern);
    SDL_FreeSurface(pattern);
    tileSheet = sheet;
}

void selectTileset(int n)
{
    for (int k = 0; k < TileColourCount; ++k)
        tileRects[k].y = static_cast<Sint16>(TileSetBand * n);
}
