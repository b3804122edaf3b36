// The tile sheet is computed pixel by pixel in the display's format. For any template SDL loads and
// at every depth a display may have, it must hold exactly what stamping the template through
// colour-keyed blits gives: the layers filled with the halved and the full colour, the template
// blitted over them with white as the key, then both layers blitted onto black with black as the key.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
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
    SDL_Rect base{0, 0, Layer, SheetHeight};
    SDL_Rect top{Layer, 0, Layer, SheetHeight};
    for (int k = 0; k < 7; ++k) {
        const SDL_Color c = tileColours[k];
        SDL_FillRect(stamp, &base, SDL_MapRGB(stamp->format, c.r / 2, c.g / 2, c.b / 2));
        SDL_FillRect(stamp, &top, SDL_MapRGB(stamp->format, c.r, c.g, c.b));
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

// The keys and their near neighbours (which a 16-bit or palette display may merge with them), and
// tile colours and their halves.
const SDL_Color tricky[] = {
    {255, 255, 255, 0}, {0, 0, 0, 0},       {254, 255, 255, 0}, {255, 255, 251, 0}, {3, 2, 1, 0},
    {0, 0, 7, 0},       {128, 128, 128, 0}, {255, 0, 0, 0},     {127, 0, 0, 0},     {200, 200, 200, 0},
};

// 24 bits: mostly the tricky colours, some random ones in between.
void writeNoisyTemplate(const std::filesystem::path& file, int height)
{
    std::mt19937 random(height);
    writeBmp(file, 2 * Layer, height, [&](int, int) {
        if (random() % 10 < 7)
            return tricky[random() % std::size(tricky)];
        return SDL_Color{Uint8(random()), Uint8(random()), Uint8(random()), 0};
    });
}

// 8 bits, with a palette of the tricky colours from `first` on.
void writePaletteTemplate(const std::filesystem::path& file, int first)
{
    std::mt19937 random(first);
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 2 * Layer, SheetHeight, 8, 0, 0, 0, 0);
    const int colours = static_cast<int>(std::size(tricky)) - first;
    SDL_SetColors(surface, const_cast<SDL_Color*>(tricky + first), 0, colours);
    for (int y = 0; y < SheetHeight; ++y)
        for (int x = 0; x < 2 * Layer; ++x)
            static_cast<Uint8*>(surface->pixels)[y * surface->pitch + x] = static_cast<Uint8>(random() % colours);
    SDL_SaveBMP(surface, file.c_str());
    SDL_FreeSurface(surface);
}

}  // namespace

TEST(TileSheetAtEveryDepth, HoldsWhatStampingTheTemplateThroughColourKeysGives)
{
    const struct {
        const char* name;
        std::function<void(const std::filesystem::path&)> write;  // none: the generated template
    } templates[] = {
        {"the generated template", nullptr},
        {"24 bits, taller than needed", [](const auto& file) { writeNoisyTemplate(file, SheetHeight + 300); }},
        {"8 bits with white in the palette", [](const auto& file) { writePaletteTemplate(file, 0); }},
        // Only pure white takes the colour: a palette without it must not lend the key to its
        // closest colour, or an almost white would be tinted.
        {"8 bits without white in the palette", [](const auto& file) { writePaletteTemplate(file, 1); }},
    };
    for (const auto& pattern : templates) {
        for (int depth : {8, 16, 24, 32}) {
            SCOPED_TRACE(std::string(pattern.name) + ", " + std::to_string(depth) + " bits");
            TempDataDir data{pattern.write ? std::vector<std::string>{} : std::vector<std::string>{"tileset.bmp"}};
            if (pattern.write)
                pattern.write(data.data() / "tileset.bmp");
            ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
            screenSurface = SDL_SetVideoMode(WindowWidth, WindowHeight, depth, SDL_SWSURFACE);
            ASSERT_NE(screenSurface, nullptr);
            ASSERT_EQ(screenSurface->format->BitsPerPixel, depth);

            loadTileset();
            SDL_Surface* expected = stampedSheet();
            ASSERT_NE(tileSheet, nullptr);
            EXPECT_EQ(tileSheet->format->BitsPerPixel, depth);
            EXPECT_FALSE(tileSheet->flags & SDL_SRCCOLORKEY) << "black tiles would show what lies behind them";
            EXPECT_TRUE(pixelBytes(tileSheet) == pixelBytes(expected));

            SDL_FreeSurface(expected);
            SDL_FreeSurface(tileSheet);
            tileSheet = nullptr;
            screenSurface = nullptr;
            SDL_Quit();
        }
    }
}
