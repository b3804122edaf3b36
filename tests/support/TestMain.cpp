#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// The sanitizers read their options before main() runs, so every test binary carries its own;
// the game binaries it starts inherit them.
#define SANITIZER_OPTIONS extern "C" __attribute__((used, visibility("default"))) const char*
SANITIZER_OPTIONS __asan_default_options() { return "detect_leaks=1:abort_on_error=0"; }
SANITIZER_OPTIONS __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
SANITIZER_OPTIONS __lsan_default_options()
{
    return "suppressions=" KLAKORIA_SOURCE_DIR "/tests/support/lsan.supp:print_suppressions=0";
}

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);  // without a display SDL 1.2 would draw ASCII art
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ASAN_OPTIONS", __asan_default_options(), 0);
    // The games the tests start unwind every allocation fully: the system libraries keep no frame
    // pointers, and lsan.supp names functions that only the slow unwinder sees. The tests themselves
    // meet none of those leaks and keep the fast one.
    setenv("LSAN_OPTIONS", (std::string(__lsan_default_options()) + ":fast_unwind_on_malloc=0").c_str(), 0);
    setenv("UBSAN_OPTIONS", __ubsan_default_options(), 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
