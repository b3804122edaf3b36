// The command line, and how it is laid over the settings file.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/Options.h"

inline void PrintTo(const Settings& settings, std::ostream* out) { *out << formatSettings(settings); }

namespace {

std::string describe(const std::optional<Options>& options)  // "scale 2, fullscreen, help", "refused"
{
    if (!options)
        return "refused";
    const std::string scale = options->scale ? std::to_string(*options->scale) : "-";
    return "scale " + scale + (options->fullscreen ? ", fullscreen" : "") + (options->help ? ", help" : "");
}

}  // namespace

TEST(Options, TheCommandLineGivesOptionsOrIsRefusedWhole)
{
    // The arguments after the program's name, the options they give.
    const std::pair<std::vector<const char*>, std::string> cases[] = {
        {{}, "scale -"},
        {{"--scale", "3"}, "scale 3"},
        {{"--scale=8"}, "scale 8"},
        {{"--fullscreen", "--scale", "1", "--help"}, "scale 1, fullscreen, help"},
        {{"--scale", "2", "--scale=5", "--fullscreen", "--fullscreen"}, "scale 5, fullscreen"},
        {{"--scale"}, "refused"},
        {{"--scale", "--fullscreen"}, "refused"},
        {{"--scale="}, "refused"},
        {{"--scale", "0"}, "refused"},
        {{"--scale", "9"}, "refused"},
        {{"--scale", "x"}, "refused"},
        {{"--scale", "-1"}, "refused"},
        {{"--scale", "+2"}, "refused"},
        {{"--scale", " 2"}, "refused"},
        {{"--scale=2x"}, "refused"},
        {{"--scale", "4294967298"}, "refused"},
        {{"--scale", "2", "--help", "spiel"}, "refused"},
        {{"--vollbild"}, "refused"},
        {{"--fullscreen=1"}, "refused"},
        {{"--Scale=2"}, "refused"},
        {{"-h"}, "refused"},
        {{""}, "refused"},
    };
    for (const auto& [arguments, expected] : cases) {
        std::vector<const char*> argv{"klakoria"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        argv.push_back(nullptr);
        EXPECT_EQ(describe(parseOptions(static_cast<int>(argv.size() - 1), argv.data())), expected)
            << (arguments.empty() ? "" : arguments.front());
    }
    const char* const none[] = {nullptr};
    EXPECT_EQ(describe(parseOptions(0, none)), "scale -");
}

TEST(Options, AFlagWinsOverTheFileAndTheFileKeepsWhatNoFlagSets)
{
    const Settings file{2, false, 3, false}, fullscreenFile{1, true, 5, true};
    // The settings file, the options (scale, fullscreen, help), the settings played with.
    const std::tuple<Settings, Options, Settings> cases[] = {
        {file, {{}, false, false}, file},
        {file, {{}, false, true}, file},
        {file, {7, false, false}, {2, false, 7, false}},
        {file, {{}, true, false}, {2, false, 3, true}},
        {file, {1, true, false}, {2, false, 1, true}},
        {fullscreenFile, {{}, false, false}, fullscreenFile},
        {fullscreenFile, {5, true, false}, fullscreenFile},
    };
    for (const auto& [settings, options, expected] : cases)
        EXPECT_EQ(withOptions(settings, options), expected) << describe(options);
}
