#include "app/Options.h"

#include <charconv>
#include <string_view>

static_assert(MaxScale == 8, "UsageText names the largest scale");
const char* const UsageText = "Aufruf: klakoria [--scale N] [--fullscreen] [--help]  "
                              "(N: ganze Vergr\xF6\xDF" "erung 1 bis 8; F11: Vollbild an/aus)\n";

namespace {

// Digits only: from_chars takes no '+', no space and no base prefix, and a '-' is out of range.
std::optional<int> scaleOf(std::string_view digits)
{
    int scale = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), scale);
    const bool whole = error == std::errc() && end == digits.data() + digits.size();
    return whole && scale >= 1 && scale <= MaxScale ? std::optional(scale) : std::nullopt;
}

}  // namespace

std::optional<Options> parseOptions(int argc, const char* const* argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--fullscreen") {
            options.fullscreen = true;
        } else if (argument == "--help") {
            options.help = true;
        } else if (argument == "--scale" || argument.starts_with("--scale=")) {
            const bool joined = argument != "--scale";
            if (!joined && i + 1 == argc)
                return std::nullopt;
            options.scale = scaleOf(joined ? argument.substr(8) : std::string_view(argv[++i]));
            if (!options.scale)
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

Settings withOptions(Settings settings, const Options& options)
{
    if (options.scale)
        settings.scale = *options.scale;
    if (options.fullscreen)
        settings.fullscreen = true;
    return settings;
}
