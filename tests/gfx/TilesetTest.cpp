#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "TestSupport.h"
#include "gfx/Tileset.h"

using namespace testing_support;

namespace {

// The pixel as 0xRRGGBB.
int pixel(SDL_Surface* surface, int x, int y)
{
    SDL_LockSurface(surface);
    const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    Uint32 value = 0;
    for (int i = 0; i < surface->format->BytesPerPixel; ++i)
        value |= Uint32(row[x * surface->format->BytesPerPixel + i]) << (8 * i);
    SDL_UnlockSurface(surface);
    SDL_Color c{0, 0, 0, 0};
    SDL_GetRGB(value, surface->format, &c.r, &c.g, &c.b);
    return c.r << 16 | c.g << 8 | c.b;
}

// A tile of the generated template as the game shows it: 'C' colour, 'D' dark colour, else the
// colour itself (0 black).
std::vector<int> look(SDL_Surface* pattern, int top)
{
    constexpr int White = 0xFFFFFF;
    std::vector<int> tile;
    for (int y = top; y < top + 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const int over = pixel(pattern, 32 + x, y);
            const int shown = over == 0 ? pixel(pattern, x, y) : over;
            tile.push_back(shown == White ? (over == White ? 'C' : 'D') : shown);
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
