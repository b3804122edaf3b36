#pragma once
#include <optional>

#include "app/Settings.h"

// What the command line asks for: `klakoria [--scale N] [--fullscreen] [--help]`.
struct Options {
    std::optional<int> scale;   // --scale N, 1..MaxScale
    bool fullscreen = false;    // --fullscreen
    bool help = false;          // --help
};
// nullopt for anything else: an unknown option, a missing or bad N ("0", "x", "-1", "2x", > MaxScale), a
// stray argument. "--scale N" and "--scale=N" are the same; of two, the later counts.
std::optional<Options> parseOptions(int argc, const char* const* argv);
// The one-line German usage text, ending in '\n'.
extern const char* const UsageText;
// Settings from the file with the command line laid over them: a flag wins over the file.
Settings withOptions(Settings settings, const Options& options);
