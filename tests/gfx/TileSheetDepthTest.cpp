// The tile sheet is computed pixel by pixel in the display's format. At every depth a display may
// have, it must hold exactly what stamping the template through colour-keyed blits gives: the
// layers filled with the halved and the full colour, the template blitted over them with white
// as the key, then both layers blitted onto black with black as the key.

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "gfx/Screen.h"
#include "gfx/Tileset.h"

using namespace testing_support;

namespace {

constexpr int Layer = 32;
constexpr int SheetHeight = 672;
constexpr SDL_Color tileColours[7] = {
    {255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {255, 255, 0, 0}, {0, 255, 255, 0}, {255, 0, 255, 0},
    {200, 200, 200, 0},
};

void fill(SDL_Surface* surface, SDL_Rect area, SDL_Color c)
{
    SDL_FillRect(surface, &area, SDL_MapRGB(surface->format, c.r, c.g, c.b));
}

SDL_Surface* blackInDisplayFormat(int width, int height)
{
    SDL_Surface* plain = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 8, 0, 0, 0, 0);
    SDL_Surface* converted = SDL_DisplayFormat(plain);
    SDL_FreeSurface(plain);
    return converted;
}

// The composition by blits, from the template file in the working directory.
SDL_Surface* stampedSheet()
{
    SDL_Surface* loaded = SDL_LoadBMP("Data/tileset.bmp");
    SDL_Surface* pattern = SDL_DisplayFormat(loaded);
    SDL_FreeSurface(loaded);
    SDL_SetColorKey(pattern, SDL_SRCCOLORKEY, SDL_MapRGB(pattern->format, 255, 255, 255));
    SDL_Surface* stamp = blackInDisplayFormat(2 * Layer, SheetHeight);
    SDL_SetColorKey(stamp, SDL_SRCCOLORKEY, SDL_MapRGB(stamp->format, 0, 0, 0));
    SDL_Surface* sheet = blackInDisplayFormat(7 * Layer, SheetHeight);
    const SDL_Rect base{0, 0, Layer, SheetHeight};
    const SDL_Rect top{Layer, 0, Layer, SheetHeight};
    for (int k = 0; k < 7; ++k) {
        const SDL_Color c = tileColours[k];
        fill(stamp, base, SDL_Color{Uint8(c.r / 2), Uint8(c.g / 2), Uint8(c.b / 2), 0});
        fill(stamp, top, c);
        SDL_BlitSurface(pattern, nullptr, stamp, nullptr);
        for (SDL_Rect source : {base, top}) {
            SDL_Rect destination{Sint16(k * Layer), 0, 0, 0};
            SDL_BlitSurface(stamp, &source, sheet, &destination);
        }
    }
    SDL_FreeSurface(pattern);
    SDL_FreeSurface(stamp);
    return sheet;
}

std::vector<Uint8> pixelBytes(SDL_Surface* surface)
{
    std::vector<Uint8> bytes;
    SDL_LockSurface(surface);
    for (int y = 0; y < surface->h; ++y) {
        const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
        bytes.insert(bytes.end(), row, row + surface->w * surface->format->BytesPerPixel);
    }
    SDL_UnlockSurface(surface);
    return bytes;
}

// Keys and their near neighbours (which a 16-bit or palette display may merge with them), the
// tile colours and their halves, and random colours in between.
SDL_Color noisyTemplate(std::mt19937& random)
{
    static const SDL_Color tricky[] = {
        {255, 255, 255, 0}, {0, 0, 0, 0},     {254, 255, 255, 0}, {255, 255, 251, 0}, {3, 2, 1, 0},
        {0, 0, 7, 0},       {128, 128, 128, 0}, {255, 0, 0, 0},   {127, 0, 0, 0},     {200, 200, 200, 0},
    };
    if (random() % 10 < 7)
        return tricky[random() % std::size(tricky)];
    return SDL_Color{Uint8(random()), Uint8(random()), Uint8(random()), 0};
}

}  // namespace

TEST(TileSheetAtEveryDepth, HoldsWhatStampingTheTemplateThroughColourKeysGives)
{
    for (const char* source : {"generated", "noisy"}) {
        for (int depth : {8, 16, 24, 32}) {
            SCOPED_TRACE(std::string(source) + " template, " + std::to_string(depth) + " bits");
            TempDataDir data{{"tileset.bmp"}};
            if (std::string(source) == "noisy") {
                std::mt19937 random(depth);
                std::filesystem::remove(data.data() / "tileset.bmp");
                writeBmp(data.data() / "tileset.bmp", 2 * Layer, SheetHeight + 5,
                         [&](int, int) { return noisyTemplate(random); });
            }
            ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
            screenSurface = SDL_SetVideoMode(WindowWidth, WindowHeight, depth, SDL_SWSURFACE);
            ASSERT_NE(screenSurface, nullptr);
            ASSERT_EQ(screenSurface->format->BitsPerPixel, depth);

            loadTileset();
            SDL_Surface* expected = stampedSheet();
            ASSERT_NE(tileSheet, nullptr);
            EXPECT_EQ(tileSheet->format->BitsPerPixel, depth);
            EXPECT_TRUE(pixelBytes(tileSheet) == pixelBytes(expected));

            SDL_FreeSurface(expected);
            SDL_FreeSurface(tileSheet);
            tileSheet = nullptr;
            screenSurface = nullptr;
            SDL_Quit();
        }
    }
}
