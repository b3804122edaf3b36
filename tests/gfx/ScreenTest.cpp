#include <gtest/gtest.h>

#include <random>

#include "TestSupport.h"
#include "gfx/Screen.h"

Uint32& pixel(SDL_Surface* surface, int x, int y)
{
    return static_cast<Uint32*>(surface->pixels)[y * surface->pitch / 4 + x];
}

// Every pixel of the picture as a square of window pixels, also after a frame that changes a band
// of rows; a point of the window maps back to its pixel, the border around the picture to none.
TEST(Window, AMagnifiedWindowMatchesThePictureInPixelsAndClicks)
{
    testing_support::DummyScreen sdl;
    std::mt19937 random(7);
    for (const int scale : {2, 3}) {
        ASSERT_TRUE(openWindow({scale, false}, 32));
        SDL_Surface* window = SDL_GetVideoSurface();
        for (const int top : {0, 100}) {
            for (int y = top; y < top + 50; ++y)
                for (int x = 0; x < WindowWidth; ++x)
                    pixel(screenSurface, x, y) = Uint32(random());
            showFrame();
            int wrong = 0;
            for (int y = 0; y < window->h; ++y)
                for (int x = 0; x < window->w; ++x)
                    wrong += pixel(window, x, y) != pixel(screenSurface, x / scale, y / scale);
            EXPECT_EQ(wrong, 0) << scale << "x, " << top;
        }
        int16_t x = 0;
        int16_t y = 0;
        EXPECT_TRUE(pictureAt(800 * scale - 1, 2 * scale - 1, x, y) && x == 799 && y == 1);
        EXPECT_FALSE(pictureAt(800 * scale, 0, x, y) || pictureAt(0, 600 * scale, x, y));
    }
    closeWindow();
}
