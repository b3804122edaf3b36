// The picture in the window: drawn on directly at 1 x, magnified by whole factors otherwise.
#include <gtest/gtest.h>

#include <random>

#include "TestSupport.h"
#include "gfx/Screen.h"

using namespace testing_support;

namespace {

Uint32 pixelAt(const SDL_Surface* surface, int x, int y)
{
    return static_cast<const Uint32*>(surface->pixels)[y * surface->pitch / 4 + x];
}

}  // namespace

// Every pixel of the picture becomes a square of factor x factor window pixels, and every window
// point maps back to the pixel it shows.
TEST(Window, AMagnifiedFrameShowsEveryPixelAsASquareAndAClickFindsItsPixel)
{
    DummyScreen sdl;
    std::mt19937 rng(7);
    for (const int scale : {1, 2, 3}) {
        SCOPED_TRACE(scale);
        ASSERT_TRUE(openWindow({scale, false}, 32));
        const SDL_Surface* window = SDL_GetVideoSurface();
        EXPECT_EQ(std::make_tuple(window->w, window->h, screenSurface->w, screenSurface->h, shownScale()),
                  std::make_tuple(800 * scale, 600 * scale, 800, 600, scale));
        EXPECT_EQ(screenSurface == window, scale == 1) << "a plain window is drawn on directly";
        // A whole new picture, then a frame that changes a band of rows, then one that changes one pixel.
        for (const auto& [top, bottom, right] : {std::tuple{0, 600, 800}, {100, 140, 800}, {599, 600, 1}}) {
            for (int y = top; y < bottom; ++y)
                for (int x = 0; x < right; ++x)
                    static_cast<Uint32*>(screenSurface->pixels)[y * screenSurface->pitch / 4 + x] = rng() & 0xFFFFFF;
            showFrame();
            int wrong = 0;
            for (int y = 0; y < window->h; ++y)
                for (int x = 0; x < window->w; ++x)
                    wrong += pixelAt(window, x, y) != pixelAt(screenSurface, x / scale, y / scale);
            EXPECT_EQ(wrong, 0) << "rows " << top << " to " << bottom;
        }
        const struct { int x, y; int16_t pictureX, pictureY; } points[] = {
            {0, 0, 0, 0}, {scale, 2 * scale - 1, 1, 1}, {800 * scale - 1, 600 * scale - 1, 799, 599}};
        for (const auto& p : points) {
            int16_t x = -1, y = -1;
            EXPECT_TRUE(pictureAt(p.x, p.y, x, y));
            EXPECT_EQ(std::make_pair(x, y), std::make_pair(p.pictureX, p.pictureY));
        }
        int16_t x = 0, y = 0;
        EXPECT_FALSE(pictureAt(800 * scale, 0, x, y) || pictureAt(0, 600 * scale, x, y) || pictureAt(-1, 0, x, y));
    }
    closeWindow();
    EXPECT_EQ(screenSurface, nullptr);
}
