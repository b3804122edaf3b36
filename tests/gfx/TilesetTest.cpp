#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"
#include "gfx/Screen.h"
#include "gfx/Tileset.h"

SDL_Surface* inDisplayFormat(SDL_Surface* surface)
{
    SDL_Surface* converted = SDL_DisplayFormat(surface);
    SDL_FreeSurface(surface);
    return converted;
}

// The sheet as colour-keyed blits make it: each colour's two layers filled with the halved and the
// full colour, the template over them keyed on white, then both layers onto black keyed on black.
TEST(TileSheet, HoldsAtEveryDepthTheTemplateStampedThroughColourKeys)
{
    const Uint8 colours[][3] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},    {255, 255, 0},
                                {0, 255, 255}, {255, 0, 255}, {200, 200, 200}};
    testing_support::TempDataDir data;
    for (int depth : {8, 16, 24, 32}) {
        SDL_Init(SDL_INIT_VIDEO);
        screenSurface = SDL_SetVideoMode(800, 600, depth, SDL_SWSURFACE);
        loadTileset();
        SDL_Surface* pattern = inDisplayFormat(SDL_LoadBMP("Data/tileset.bmp"));
        SDL_SetColorKey(pattern, SDL_SRCCOLORKEY, SDL_MapRGB(pattern->format, 255, 255, 255));
        SDL_Surface* stamp = inDisplayFormat(SDL_CreateRGBSurface(0, 64, 672, 8, 0, 0, 0, 0));
        SDL_SetColorKey(stamp, SDL_SRCCOLORKEY, SDL_MapRGB(stamp->format, 0, 0, 0));
        SDL_Surface* sheet = inDisplayFormat(SDL_CreateRGBSurface(0, 224, 672, 8, 0, 0, 0, 0));
        for (int k = 0; const Uint8* c : colours) {
            SDL_Rect half{0, 0, 32, 672}, full{32, 0, 32, 672}, to{Sint16(32 * k++), 0, 0, 0};
            SDL_FillRect(stamp, &half, SDL_MapRGB(stamp->format, c[0] / 2, c[1] / 2, c[2] / 2));
            SDL_FillRect(stamp, &full, SDL_MapRGB(stamp->format, c[0], c[1], c[2]));
            SDL_BlitSurface(pattern, nullptr, stamp, nullptr);
            SDL_BlitSurface(stamp, &half, sheet, &to);
            SDL_BlitSurface(stamp, &full, sheet, &to);
        }
        ASSERT_EQ(tileSheet->pitch, sheet->pitch);
        EXPECT_EQ(std::memcmp(tileSheet->pixels, sheet->pixels, sheet->pitch * 672), 0) << depth;
        for (SDL_Surface* surface : {pattern, stamp, sheet})
            SDL_FreeSurface(surface);
        freeTileset();
        SDL_Quit();
    }
    screenSurface = nullptr;
}
