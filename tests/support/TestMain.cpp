#include <gtest/gtest.h>

#include <cstdlib>

// The sanitizers read their options before main() runs, and a list of variables does not
// survive gtest_discover_tests, so every test binary carries its own. The suppressed leaks
// belong to the system libraries that SDL loads (see lsan.supp).
#define KLAKORIA_LSAN_OPTIONS "suppressions=" KLAKORIA_SOURCE_DIR "/tests/support/lsan.supp:print_suppressions=0"
#define KLAKORIA_ASAN_OPTIONS "detect_leaks=1:abort_on_error=0"
#define KLAKORIA_UBSAN_OPTIONS "print_stacktrace=1:halt_on_error=1"

extern "C" {
__attribute__((used, visibility("default"))) const char* __asan_default_options() { return KLAKORIA_ASAN_OPTIONS; }
__attribute__((used, visibility("default"))) const char* __lsan_default_options() { return KLAKORIA_LSAN_OPTIONS; }
__attribute__((used, visibility("default"))) const char* __ubsan_default_options() { return KLAKORIA_UBSAN_OPTIONS; }
}

int main(int argc, char** argv)
{
    // Headless, always: without a display SDL 1.2 would fall back to ASCII art.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // The game binary that start-up and end-to-end tests run inherits the same options; a test
    // that ends the game with exit() on purpose switches leak detection off for that run.
    setenv("ASAN_OPTIONS", KLAKORIA_ASAN_OPTIONS, 0);
    setenv("LSAN_OPTIONS", KLAKORIA_LSAN_OPTIONS, 0);
    setenv("UBSAN_OPTIONS", KLAKORIA_UBSAN_OPTIONS, 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
