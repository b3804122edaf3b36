#include "gfx/Tileset.h"

#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "gfx/Screen.h"
#include "system/Files.h"

SDL_Surface* tileSheet = nullptr;
SDL_Rect tileRects[TileColourCount]{};

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

// The surface in the display's format; a failure ends the program like an unreadable template,
// since the tiles cannot be drawn without it.
SurfacePtr toDisplayFormat(SurfacePtr surface)
{
    if (!surface)
        refuseTemplate();
    SurfacePtr converted(SDL_DisplayFormat(surface.get()));
    if (!converted)
        refuseTemplate();
    return converted;
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

const SDL_PixelFormat& displayFormat() { return *SDL_GetVideoSurface()->format; }

// Whether a format keeps 8 bits of each of red, green and blue and nothing else, so that a pixel
// converts between two such formats by moving its bytes.
bool plainRgb(const SDL_PixelFormat& format)
{
    return !format.palette && format.Rloss == 0 && format.Gloss == 0 && format.Bloss == 0 && format.Amask == 0;
}

// An empty surface in the display's format, as SDL_DisplayFormat would make it (which is all
// black), without a surface to convert; null on a palette display, which needs its palette.
SurfacePtr displaySurface(int width, int height)
{
    const SDL_PixelFormat& display = displayFormat();
    if (display.palette)
        return nullptr;
    return SurfacePtr(SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, display.BitsPerPixel, display.Rmask,
                                           display.Gmask, display.Bmask, display.Amask));
}

// The usual template, 24 bits on a 32-bit display, converted by moving bytes; SDL's general
// conversion takes a good part of the start-up for it. Null for any other pair of formats.
SurfacePtr convertPlainRgb(const SDL_Surface* loaded)
{
    const SDL_PixelFormat& from = *loaded->format;
    const SDL_PixelFormat& to = displayFormat();
    if (from.BytesPerPixel != 3 || to.BytesPerPixel != 4 || !plainRgb(from) || !plainRgb(to))
        return nullptr;
    SurfacePtr converted = displaySurface(loaded->w, loaded->h);
    if (!converted)
        return nullptr;
    for (int y = 0; y < loaded->h; ++y) {
        const Uint8* source = static_cast<const Uint8*>(loaded->pixels) + y * loaded->pitch;
        Uint8* target = static_cast<Uint8*>(converted->pixels) + y * converted->pitch;
        for (int x = 0; x < loaded->w; ++x) {
            const Uint32 v = readPixel<3>(source + 3 * x);
            const Uint32 r = (v & from.Rmask) >> from.Rshift;
            const Uint32 g = (v & from.Gmask) >> from.Gshift;
            const Uint32 b = (v & from.Bmask) >> from.Bshift;
            writePixel<4>(target + 4 * x, r << to.Rshift | g << to.Gshift | b << to.Bshift);
        }
    }
    return converted;
}

SurfacePtr loadTemplate()
{
    // Anything but a regular file counts as missing: opening a FIFO would wait for a writer for ever.
    SurfacePtr loaded(isRegularFile(TemplateFile) ? SDL_LoadBMP(TemplateFile) : nullptr);
    // Anything narrower or shorter would make the sets and frames read outside the sheet.
    if (!loaded || loaded->w != TemplateWidth || loaded->h < TemplateHeight)
        refuseTemplate();
    SurfacePtr pattern = convertPlainRgb(loaded.get());
    if (!pattern)
        pattern = toDisplayFormat(std::move(loaded));
    // The key is set once the template is in the display's format, where pure white has a
    // value of its own: in a palette without white, SDL would key the closest colour instead,
    // and a light grey would take the tint.
    SDL_SetColorKey(pattern.get(), SDL_SRCCOLORKEY, SDL_MapRGB(pattern->format, 255, 255, 255));
    return pattern;
}

// An all-black surface in the display's format. On a palette display a palette surface is
// converted, since it starts all black (palette index 0) and takes the display's palette.
SurfacePtr blackSurface(int width, int height)
{
    if (SurfacePtr surface = displaySurface(width, height))
        return surface;
    return toDisplayFormat(SurfacePtr(SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 8, 0, 0, 0, 0)));
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
    const Uint32 white = SDL_MapRGB(pattern->format, 255, 255, 255);  // the key loadTemplate set
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
    assert(!tileSheet);
    const SurfacePtr pattern = loadTemplate();
    SurfacePtr sheet = blackSurface(TileColourCount * TemplateWidth / 2, TemplateHeight);
    SDL_LockSurface(pattern.get());
    SDL_LockSurface(sheet.get());
    for (int k = 0; k < TileColourCount; ++k) {
        const Rgb full = tileColours[k];
        tintColumn(pattern.get(), sheet.get(), k,
                   SDL_MapRGB(sheet->format, static_cast<Uint8>(full.r / 2), static_cast<Uint8>(full.g / 2),
                              static_cast<Uint8>(full.b / 2)),
                   SDL_MapRGB(sheet->format, full.r, full.g, full.b));
    }
    SDL_UnlockSurface(sheet.get());
    SDL_UnlockSurface(pattern.get());
    tileSheet = sheet.release();
    for (int k = 0; k < TileColourCount; ++k)
        tileRects[k] = SDL_Rect{static_cast<Sint16>(32 * k), 0, 32, 32};
}

void freeTileset()
{
    SDL_FreeSurface(tileSheet);
    tileSheet = nullptr;
}

void selectTileset(int n)
{
    assert(n >= 0 && n < TileSetCount);
    for (int k = 0; k < TileColourCount; ++k)
        tileRects[k].y = static_cast<Sint16>(TileSetBand * n);
}
