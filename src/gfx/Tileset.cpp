#include "gfx/Tileset.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

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
SDL_Surface* blackSurface(int width, int height, bool blackIsTransparent)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 8, 0, 0, 0, 0);
    if (surface && blackIsTransparent)
        SDL_SetColorKey(surface, SDL_SRCCOLORKEY, 0);
    return toDisplayFormat(surface);
}

void fill(SDL_Surface* surface, SDL_Rect area, Rgb colour)
{
    SDL_FillRect(surface, &area, SDL_MapRGB(surface->format, colour.r, colour.g, colour.b));
}

}  // namespace

void loadTileset()
{
    SDL_Surface* pattern = loadTemplate();
    const int layer = TemplateWidth / 2;
    const int height = TemplateHeight;  // rows below the last set are not used

    SDL_Surface* stamp = blackSurface(TemplateWidth, height, true);
    SDL_Surface* sheet = blackSurface(TileColourCount * layer, height, false);
    fill(sheet, SDL_Rect{0, 0, static_cast<Uint16>(sheet->w), static_cast<Uint16>(height)}, Rgb{0, 0, 0});

    const SDL_Rect baseLayer{0, 0, static_cast<Uint16>(layer), static_cast<Uint16>(height)};
    const SDL_Rect topLayer{static_cast<Sint16>(layer), 0, static_cast<Uint16>(layer), static_cast<Uint16>(height)};
    for (int k = 0; k < TileColourCount; ++k) {
        const Rgb full = tileColours[k];
        fill(stamp, baseLayer, Rgb{static_cast<Uint8>(full.r / 2), static_cast<Uint8>(full.g / 2),
                                   static_cast<Uint8>(full.b / 2)});
        fill(stamp, topLayer, full);
        // White in the template is transparent: the colour stays exactly where the template is white.
        SDL_BlitSurface(pattern, nullptr, stamp, nullptr);
        // Black in the stamp is transparent: the top layer's holes show the base layer.
        for (SDL_Rect source : {baseLayer, topLayer}) {
            SDL_Rect destination{static_cast<Sint16>(k * layer), 0, 0, 0};
            SDL_BlitSurface(stamp, &source, sheet, &destination);
        }
    }

    SDL_FreeSurface(pattern);
    SDL_FreeSurface(stamp);
    tileSheet = sheet;
}

void selectTileset(int n)
{
    for (int k = 0; k < TileColourCount; ++k)
        tileRects[k].y = static_cast<Sint16>(TileSetBand * n);
}
