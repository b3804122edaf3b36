// The settings file (its text, reading whatever stands under its name, writing it whole) and the
// command line laid over it.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "TestSupport.h"
#include "app/Options.h"
#include "app/Settings.h"

namespace fs = std::filesystem;

namespace {

// In a death test's process: as root, for whom modes stop nothing, it becomes the user nobody; it
// is ended after 20 s should it hang on a FIFO.
void becomePlayer()
{
    alarm(20);
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
        _exit(2);
}

}  // namespace

// A bad line costs only its own key and leaves what an earlier good one set; what is read is
// written back as it was.
TEST(Settings, ParsingKeepsTheGoodLinesAndLeavesTheRestAtTheirDefaults)
{
    const std::pair<std::string, Settings> cases[] = {
        {"tileset=1\nmusic=0\nscale=8\nfullscreen=1", Settings{0, false, 8, true}},
        {"fullscreen=1\r\nscale=3\r\ntileset=2\r\nfarbe=3\r\n", Settings{1, true, 3, true}},
        {"tileset=0\ntileset=6\nmusic=2\nmusic=-0\nscale=0\nscale=9\nfullscreen=+1\n", Settings{}},
        {"scale=2\nscale=7\nscale=99999999999\nscale=2x\nscale= 2\nscale\nscale=2\r\r\n", Settings{4, true, 7, false}},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(parseSettings(text), expected) << text;
        EXPECT_EQ(parseSettings(formatSettings(expected)), expected);
    }
}

// A file of 4096 bytes gives its settings. Read as the player, what else stands under the name gives
// the defaults: a larger file is no settings file, even when it starts like one.
TEST(SettingsFile, WhatIsNoReadableSettingsFileGivesTheDefaults)
{
    testing_support::TempDataDir dir{std::vector<std::string>{}};
    const char* const file = "Data/klakoria.cfg";
    const std::string full = "tileset=2\nmusic=0\nscale=3\nfullscreen=1\n" + std::string(4057, '#');
    dir.writeFile(file, full);
    EXPECT_EQ(readSettings(), (Settings{1, false, 3, true}));
    fs::remove(file);
    // Too large, unreadable, missing, a FIFO.
    const std::function<void()> unreadable[] = {
        [&] { dir.writeFile(file, full + "#"); },
        [&] { dir.writeFile(file, full), fs::permissions(file, fs::perms::none); },
        [] {},
        [&] { mkfifo(file, 0666); },
    };
    const auto read = [] {
        becomePlayer();
        _exit(readSettings() == Settings{} ? 0 : 1);
    };
    for (int i = 0; const auto& prepare : unreadable) {
        SCOPED_TRACE(i++);
        prepare();
        EXPECT_EXIT(read(), testing::ExitedWithCode(0), "");
        fs::remove_all(file);
    }
}

// Into a folder the player cannot write, the file is named on standard error and the old one stays whole.
TEST(SettingsFile, AFailedWriteIsToldAndChangesNothing)
{
    testing_support::TempDataDir dir{std::vector<std::string>{}};
    dir.writeFile("Data/klakoria.cfg", "tileset=1\n");
    fs::permissions(dir.data(), fs::perms::owner_read | fs::perms::others_exec);
    const auto write = [] {
        becomePlayer();
        _exit(writeSettings(Settings{}) ? 0 : 1);
    };
    EXPECT_EXIT(write(), testing::ExitedWithCode(1), "^Konnte Data/klakoria.cfg nicht speichern.\n$");
    EXPECT_EQ(dir.readFile("Data/klakoria.cfg"), "tileset=1\n");
}

// Refused whole: a missing, bad or too large scale, a stray argument.
TEST(Options, TheCommandLineGivesOptionsOrIsRefusedWhole)
{
    const auto parse = [](std::vector<const char*> arguments) {
        arguments.insert(arguments.begin(), "klakoria");
        return parseOptions(static_cast<int>(arguments.size()), arguments.data());
    };
    const auto all = parse({"--fullscreen", "--scale", "1", "--help", "--scale=8"});
    EXPECT_TRUE(all && all->scale == 8 && all->fullscreen && all->help);
    const std::vector<const char*> refused[] = {{"--scale"}, {"--scale", "0"}, {"--scale", "9"}, {"--scale=2x"},
                                                {"--scale", "2", "spiel"}};
    for (const auto& arguments : refused)
        EXPECT_FALSE(parse(arguments));
}

TEST(Options, FlagsAreLaidOverTheFile)
{
    EXPECT_EQ(withOptions(Settings{2, false, 3, false}, Options{7, true, false}), (Settings{2, false, 7, true}));
}
