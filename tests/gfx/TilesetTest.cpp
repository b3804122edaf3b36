#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "TestSupport.h"
#include "gfx/Tileset.h"

using namespace testing_support;

namespace {

constexpr SDL_Color White{255, 255, 255, 0};
constexpr SDL_Color Black{0, 0, 0, 0};
constexpr SDL_Color Outline{90, 140, 200, 0};
constexpr SDL_Color BaseShade{10, 200, 30, 0};

constexpr SDL_Color tileColours[7] = {
    {255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {255, 255, 0, 0}, {0, 255, 255, 0}, {255, 0, 255, 0},
    {200, 200, 200, 0},
};

// The colour as 0xRRGGBB, so that pixels compare and print plainly.
int rgb(SDL_Color c) { return c.r << 16 | c.g << 8 | c.b; }

int surfacePixel(SDL_Surface* surface, int x, int y)
{
    SDL_LockSurface(surface);
    const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    Uint32 value = 0;
    const int bytes = surface->format->BytesPerPixel;
    for (int i = 0; i < bytes; ++i)
        value |= Uint32(row[x * bytes + i]) << (8 * i);
    SDL_UnlockSurface(surface);
    SDL_Color c{0, 0, 0, 0};
    SDL_GetRGB(value, surface->format, &c.r, &c.g, &c.b);
    return rgb(c);
}

// One marker pixel per case in row 3 of the first set: its base layer, its top layer, and what
// the tile of a colour shows there.
struct Marker {
    const char* meaning;
    int x;
    SDL_Color base;
    SDL_Color top;
    SDL_Color (*shown)(SDL_Color colour);
};
const Marker markers[] = {
    {"white on top takes the full colour", 5, Black, White, [](SDL_Color c) { return c; }},
    {"a hole over white base shows the halved colour", 6, White, Black,
     [](SDL_Color c) { return SDL_Color{Uint8(c.r / 2), Uint8(c.g / 2), Uint8(c.b / 2), 0}; }},
    {"black in both layers stays black", 7, Black, Black, [](SDL_Color) { return Black; }},
    {"another colour on top stays as drawn", 8, White, Outline, [](SDL_Color) { return Outline; }},
    {"a hole shows the base layer's own colour", 9, BaseShade, Black, [](SDL_Color) { return BaseShade; }},
    {"the top layer covers the base layer", 10, White, White, [](SDL_Color c) { return c; }},
};

SDL_Color markerTemplate(int x, int y)
{
    for (const auto& m : markers)
        if (y == 3 && (x == m.x || x == 32 + m.x))
            return x < 32 ? m.base : m.top;
    return y == 671 && x == 63 ? White : Black;  // the last row of the fifth set
}

}  // namespace

TEST(TintedSheet, EveryColourTintsTheTemplateByItsLayersIntoAColumnOfItsOwn)
{
    TempDataDir data{std::vector<std::string>{}};
    writeBmp(data.data() / "tileset.bmp", 64, 672, markerTemplate);
    DummyScreen screen{true};
    ASSERT_NE(tileSheet, nullptr);
    EXPECT_EQ(tileSheet->w, 7 * 32);
    EXPECT_EQ(tileSheet->h, 672);
    EXPECT_FALSE(tileSheet->flags & SDL_SRCCOLORKEY);
    for (int k = 0; k < 7; ++k) {
        for (const Marker& m : markers)
            EXPECT_EQ(surfacePixel(tileSheet, 32 * k + m.x, 3), rgb(m.shown(tileColours[k]))) << m.meaning << ", tile " << k;
        EXPECT_EQ(surfacePixel(tileSheet, 32 * k + 31, 671), rgb(tileColours[k])) << "tile " << k;
        EXPECT_EQ(surfacePixel(tileSheet, 32 * k + 20, 400), rgb(Black)) << "tile " << k;
    }
}

namespace {

// A tile of the generated template as the game shows it, in materials: 'C' colour, 'D' dark
// colour, else the colour itself (0 black).
std::vector<int> look(SDL_Surface* pattern, int top)
{
    std::vector<int> tile;
    for (int y = top; y < top + 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const int over = surfacePixel(pattern, 32 + x, y);
            const int shown = over == rgb(Black) ? surfacePixel(pattern, x, y) : over;
            tile.push_back(shown == rgb(White) ? (over == rgb(White) ? 'C' : 'D') : shown);
        }
    return tile;
}

}  // namespace

TEST(GeneratedTemplate, EverySetTakesTheColourInBothTintsTheFiveDifferAndTheFramesShrink)
{
    SDL_Surface* pattern = SDL_LoadBMP((assetDir() / "tileset.bmp").c_str());
    ASSERT_NE(pattern, nullptr) << SDL_GetError();
    EXPECT_EQ(pattern->w, 64);
    EXPECT_EQ(pattern->h, 672);
    std::set<std::vector<int>> looks;
    for (int n = 0; n < 5; ++n) {
        const std::vector<int> tile = look(pattern, 160 * n);
        EXPECT_GT(std::count(tile.begin(), tile.end(), 'C'), 150) << "set " << n;
        EXPECT_GT(std::count(tile.begin(), tile.end(), 'D'), 20) << "set " << n;
        looks.insert(tile);
    }
    EXPECT_EQ(looks.size(), 5u);
    long previous = 32 * 32;
    for (int frame = 1; frame <= 4; ++frame) {
        const std::vector<int> tile = look(pattern, 32 * frame);
        const long visible = 32 * 32 - std::count(tile.begin(), tile.end(), 0);
        EXPECT_LT(visible, previous) << "frame " << frame;
        EXPECT_GT(visible, 0) << "frame " << frame;
        previous = visible;
    }
    SDL_FreeSurface(pattern);
}
