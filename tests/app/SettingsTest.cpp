// The settings file (its text, reading whatever stands under its name, writing it whole) and the
// command line laid over it.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <random>

#include "TestSupport.h"
#include "app/Options.h"
#include "app/Settings.h"

namespace fs = std::filesystem;
using P = fs::perms;

void PrintTo(const Settings& settings, std::ostream* out) { *out << formatSettings(settings); }

namespace {

// body in a process of its own, as the user nobody when the tests run as root (for whom modes stop
// nothing), ended by alarm() should it hang on a FIFO. Its exit status and all it prints.
std::pair<int, std::string> asPlayer(const std::function<int()>& body)
{
    FILE* output = std::tmpfile();
    std::fflush(nullptr);  // or the child would print what the test has still buffered
    const pid_t child = fork();
    if (child == 0) {
        dup2(fileno(output), 1);
        dup2(fileno(output), 2);
        alarm(20);
        const bool player = geteuid() != 0 || (setgroups(0, nullptr) == 0 && setgid(65534) == 0 &&
                                               setuid(65534) == 0);
        const int status = player ? body() : 99;
        std::fflush(stdout);
        _exit(status);
    }
    int status = 0;
    waitpid(child, &status, 0);
    const std::string printed = testing_support::contentsOf(fileno(output));
    std::fclose(output);
    return {testing_support::exitStatus(status), printed};
}

std::string describe(const std::optional<Options>& options)  // "scale 2, fullscreen, help", "refused"
{
    if (!options)
        return "refused";
    const std::string scale = options->scale ? std::to_string(*options->scale) : "-";
    return "scale " + scale + (options->fullscreen ? ", fullscreen" : "") + (options->help ? ", help" : "");
}

}  // namespace

// Every combination a player can choose; the defaults also as the exact text of the file.
TEST(Settings, EveryChoiceComesBackThroughTheText)
{
    EXPECT_EQ(formatSettings(Settings{}), "tileset=5\nmusic=1\nscale=1\nfullscreen=0\n");
    for (int tileset = 0; tileset < 5; ++tileset)
        for (int scale = 1; scale <= MaxScale; ++scale)
            for (const bool music : {false, true})
                for (const bool fullscreen : {false, true}) {
                    const Settings chosen{tileset, music, scale, fullscreen};
                    ASSERT_EQ(parseSettings(formatSettings(chosen)), chosen);
                }
}

// A bad line costs only its own key, and leaves what an earlier good one set.
TEST(Settings, ParsingKeepsTheGoodLinesAndLeavesTheRestAtTheirDefaults)
{
    using namespace std::string_literals;
    const Settings defaults;
    const std::pair<std::string, Settings> cases[] = {
        {"tileset=1\nmusic=0\nscale=8\nfullscreen=1", Settings{0, false, 8, true}},
        {"fullscreen=1\r\nscale=3\r\ntileset=2\r\nfarbe=3\r\n", Settings{1, true, 3, true}},
        {"tileset=0\nmusic=2\nscale=0\nfullscreen=1\n", Settings{4, true, 1, true}},
        {"tileset=6\nmusic=-0\nscale=9\nfullscreen=+1\n", defaults},
        {"scale=4\nscale=99999999999999999999\nscale=2x\nscale= 2\nscale=2\r\r\n", Settings{4, true, 4, false}},
        {"scale=4\n scale=2\nScale=2\nscale\nscale==2\n", Settings{4, true, 4, false}},
        {"scale=2\nscale=7\nscale=x\n", Settings{4, true, 7, false}},
        {"scale=2\0\nmusic=0\0\ntileset=3\n\0\0\n"s, Settings{2, true, 1, false}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parseSettings(text), expected) << text;
}

// Read as the player: whatever stands under the name, the game starts, and nothing there changes.
// A file of more than 4096 bytes is no settings file, even when it starts like one.
TEST(SettingsFile, WhatIsNoReadableSettingsFileGivesTheDefaultsAndStaysAsItWas)
{
    testing_support::TempDataDir dir{std::vector<std::string>{}};
    const fs::path file = dir.data() / "klakoria.cfg";
    const std::string good = "tileset=2\nmusic=0\nscale=3\nfullscreen=1\n", padding(4096 - good.size(), '#');
    const auto writeFile = [&](const std::string& bytes, P mode = P::owner_all | P::others_read) {
        return [&, bytes, mode] { dir.writeFile("Data/klakoria.cfg", bytes), fs::permissions(file, mode); };
    };
    std::string junk(3000, '\0');
    std::mt19937 random(77);
    for (char& byte : junk)
        byte = char(random() % 4 ? random() : '\n');
    // What stands under the name, the settings read.
    const std::pair<std::function<void()>, Settings> cases[] = {
        {writeFile(good), Settings{1, false, 3, true}},
        {writeFile(good + padding), Settings{1, false, 3, true}},
        {[] {}, Settings{}},
        {writeFile(junk), Settings{}},
        {writeFile(good + padding + "#"), Settings{}},
        {writeFile(std::string(10'000'000, '\n') + good), Settings{}},
        {writeFile(good, P::none), Settings{}},
        {[&] { fs::create_directory(file); }, Settings{}},
        {[&] { ASSERT_EQ(mkfifo(file.c_str(), 0666), 0); }, Settings{}},
    };
    for (int i = 0; const auto& [prepare, expected] : cases) {
        SCOPED_TRACE(i++);
        prepare();
        const fs::file_status before = fs::symlink_status(file);
        const std::string content = fs::is_regular_file(before) ? dir.readFile("Data/klakoria.cfg") : "";
        const auto read = asPlayer([] { return std::fputs(formatSettings(readSettings()).c_str(), stdout) < 0; });
        EXPECT_EQ(read, std::pair(0, formatSettings(expected)));
        const fs::file_status after = fs::symlink_status(file);
        EXPECT_TRUE(after.type() == before.type() && after.permissions() == before.permissions());
        EXPECT_TRUE(!fs::is_regular_file(after) || dir.readFile("Data/klakoria.cfg") == content);
        fs::remove_all(file);
    }
}

// Written as the player; a file the player could not write is named on standard error and the
// old one stays whole.
TEST(SettingsFile, WrittenSettingsAreReadBackAndAFailedWriteIsToldAndChangesNothing)
{
    testing_support::TempDataDir dir{std::vector<std::string>{}};
    const fs::path file = dir.data() / "klakoria.cfg";
    const Settings chosen{2, false, 6, true};
    const std::string old = "tileset=1\n", message = "Konnte Data/klakoria.cfg nicht speichern.\n";
    const auto oldFile = [&] { dir.writeFile("Data/klakoria.cfg", old); };
    const P readOnly = P::owner_read | P::owner_exec | P::others_exec;
    // What stands under the name, whether the settings get there.
    const std::pair<std::function<void()>, bool> cases[] = {
        {[] {}, true},
        {oldFile, true},
        {[&] { oldFile(), fs::permissions(dir.data(), readOnly); }, false},
        {[&] { fs::create_directory(file), dir.writeFile("Data/klakoria.cfg/x", old); }, false},
    };
    for (int i = 0; const auto& [prepare, written] : cases) {
        SCOPED_TRACE(i++);
        fs::permissions(dir.data(), P::all);
        prepare();
        const auto write = asPlayer([&] { return writeSettings(chosen) ? 0 : 1; });
        EXPECT_EQ(write, std::pair(written ? 0 : 1, written ? "" : message));
        if (written)
            EXPECT_EQ(readSettings(), chosen);
        else
            EXPECT_EQ(dir.readFile(fs::is_directory(file) ? "Data/klakoria.cfg/x" : "Data/klakoria.cfg"), old);
        fs::permissions(dir.data(), P::all);
        fs::remove_all(file);
        EXPECT_TRUE(fs::is_empty(dir.data())) << "a temporary file was left behind";
    }
}

TEST(Options, TheCommandLineGivesOptionsOrIsRefusedWhole)
{
    // The arguments after the program's name, the options they give.
    const std::pair<std::vector<const char*>, std::string> cases[] = {
        {{}, "scale -"},
        {{"--scale", "3"}, "scale 3"},
        {{"--scale=8"}, "scale 8"},
        {{"--fullscreen", "--scale", "1", "--help", "--scale=5"}, "scale 5, fullscreen, help"},
        {{"--scale"}, "refused"},
        {{"--scale="}, "refused"},
        {{"--scale", "0"}, "refused"},
        {{"--scale", "9"}, "refused"},
        {{"--scale", "x"}, "refused"},
        {{"--scale", "-1"}, "refused"},
        {{"--scale=2x"}, "refused"},
        {{"--scale", "2", "spiel"}, "refused"},
        {{"--vollbild"}, "refused"},
    };
    for (const auto& [arguments, expected] : cases) {
        std::vector<const char*> argv{"klakoria"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        argv.push_back(nullptr);
        EXPECT_EQ(describe(parseOptions(static_cast<int>(argv.size() - 1), argv.data())), expected)
            << (arguments.empty() ? "" : arguments.back());
    }
}

TEST(Options, AFlagWinsOverTheFileAndTheFileKeepsWhatNoFlagSets)
{
    const Settings file{2, false, 3, false}, fullscreenFile{1, true, 5, true};
    // The settings file, the options (scale, fullscreen, help), the settings played with.
    const std::tuple<Settings, Options, Settings> cases[] = {
        {file, {7, true, false}, {2, false, 7, true}},
        {fullscreenFile, {{}, false, true}, fullscreenFile},
        {fullscreenFile, {{}, true, false}, fullscreenFile},
    };
    for (const auto& [settings, options, expected] : cases)
        EXPECT_EQ(withOptions(settings, options), expected) << describe(options);
}
