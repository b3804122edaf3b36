#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    // Headless, always: without a display SDL 1.2 would fall back to ASCII art.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
