#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"
#include "gfx/Screen.h"
#include "gfx/Tileset.h"

namespace {

constexpr int Layer = 32;

SDL_Surface* inDisplayFormat(SDL_Surface* surface)
{
    SDL_Surface* converted = SDL_DisplayFormat(surface);
    SDL_FreeSurface(surface);
    return converted;
}

SDL_Surface* blackSurface(int width) { return inDisplayFormat(SDL_CreateRGBSurface(0, width, 672, 8, 0, 0, 0, 0)); }

// The sheet by colour-keyed blits: each colour's layers filled with the halved and the full colour,
// the template over them keyed on white, then both layers onto black keyed on black.
SDL_Surface* stampedSheet()
{
    constexpr SDL_Color colours[] = {{255, 0, 0, 0},   {0, 255, 0, 0},   {0, 0, 255, 0},     {255, 255, 0, 0},
                                     {0, 255, 255, 0}, {255, 0, 255, 0}, {200, 200, 200, 0}};
    SDL_Surface* pattern = inDisplayFormat(SDL_LoadBMP("Data/tileset.bmp"));
    SDL_SetColorKey(pattern, SDL_SRCCOLORKEY, SDL_MapRGB(pattern->format, 255, 255, 255));
    SDL_Surface* stamp = blackSurface(2 * Layer);
    SDL_SetColorKey(stamp, SDL_SRCCOLORKEY, SDL_MapRGB(stamp->format, 0, 0, 0));
    SDL_Surface* sheet = blackSurface(7 * Layer);
    SDL_Rect base{0, 0, Layer, 672}, top{Layer, 0, Layer, 672};
    for (int k = 0; const SDL_Color c : colours) {
        SDL_FillRect(stamp, &base, SDL_MapRGB(stamp->format, c.r / 2, c.g / 2, c.b / 2));
        SDL_FillRect(stamp, &top, SDL_MapRGB(stamp->format, c.r, c.g, c.b));
        SDL_BlitSurface(pattern, nullptr, stamp, nullptr);
        for (SDL_Rect source : {base, top}) {
            SDL_Rect destination{Sint16(k * Layer), 0, 0, 0};
            SDL_BlitSurface(stamp, &source, sheet, &destination);
        }
        ++k;
    }
    SDL_FreeSurface(pattern);
    SDL_FreeSurface(stamp);
    return sheet;
}

}  // namespace

TEST(TileSheet, HoldsAtEveryDepthWhatStampingTheTemplateThroughColourKeysGives)
{
    testing_support::TempDataDir data{{"tileset.bmp"}};
    for (int depth : {8, 16, 24, 32}) {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
        screenSurface = SDL_SetVideoMode(WindowWidth, WindowHeight, depth, SDL_SWSURFACE);
        loadTileset();
        SDL_Surface* expected = stampedSheet();
        ASSERT_TRUE(tileSheet->w == expected->w && tileSheet->h == expected->h);
        for (int y = 0; y < expected->h; ++y) {
            const auto* row = static_cast<Uint8*>(tileSheet->pixels) + y * tileSheet->pitch;
            ASSERT_EQ(std::memcmp(row, static_cast<Uint8*>(expected->pixels) + y * expected->pitch, expected->w * depth / 8), 0)
                << depth << " bits, row " << y;
        }
        SDL_FreeSurface(expected);
        freeTileset();
        SDL_Quit();
    }
    screenSurface = nullptr;
}
