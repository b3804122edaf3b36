// The settings file: its text, reading whatever stands under its name, writing it whole.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <random>

#include "TestSupport.h"
#include "app/Settings.h"

namespace fs = std::filesystem;
using P = fs::perms;

inline void PrintTo(const Settings& settings, std::ostream* out) { *out << formatSettings(settings); }

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

// body in a process of its own, as the user nobody when the tests run as root (for whom modes stop
// nothing); alarm() ends it should it hang, say on a FIFO. What it prints is caught.
Outcome asPlayer(const std::function<void()>& body)
{
    FILE *out = std::tmpfile(), *err = std::tmpfile();
    std::fflush(nullptr);  // or the child would print what the test has still buffered
    const pid_t child = fork();
    if (child == 0) {
        dup2(fileno(out), 1);
        dup2(fileno(err), 2);
        alarm(20);
        const bool player = geteuid() != 0 || (setgroups(0, nullptr) == 0 && setgid(65534) == 0 &&
                                               setuid(65534) == 0);
        if (player)
            body();
        std::fflush(stdout);
        _exit(player ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    Outcome outcome{testing_support::exitStatus(status), testing_support::contentsOf(fileno(out)),
                    testing_support::contentsOf(fileno(err))};
    std::fclose(out);
    std::fclose(err);
    return outcome;
}

}  // namespace

// Every combination a player can choose; the defaults also as the exact text of the file.
TEST(Settings, EveryChoiceComesBackThroughTheText)
{
    EXPECT_EQ(formatSettings(Settings{}), "tileset=5\nmusic=1\nscale=1\nfullscreen=0\n");
    EXPECT_EQ(formatSettings(Settings{0, false, 8, true}), "tileset=1\nmusic=0\nscale=8\nfullscreen=1\n");
    for (int tileset = 0; tileset < 5; ++tileset)
        for (int scale = 1; scale <= MaxScale; ++scale)
            for (const bool music : {false, true})
                for (const bool fullscreen : {false, true}) {
                    const Settings chosen = Settings{tileset, music, scale, fullscreen};
                    ASSERT_EQ(parseSettings(formatSettings(chosen)), chosen);
                }
}

// A bad line costs only its own key; then random bytes, those the format knows coming often.
TEST(Settings, ParsingKeepsTheGoodLinesAndLeavesTheRestAtTheirDefaults)
{
    using namespace std::string_literals;
    const Settings defaults;
    const std::pair<std::string, Settings> cases[] = {
        {"", defaults},
        {"tileset=1\nmusic=0\nscale=8\nfullscreen=1", Settings{0, false, 8, true}},
        {"fullscreen=1\r\nscale=3\r\ntileset=2\r\nmusic=0\r\n", Settings{1, false, 3, true}},
        {"farbe=3\nscale=4\n# scale=5\n", Settings{4, true, 4, false}},
        {"tileset=0\nmusic=2\nscale=0\nfullscreen=1\n", Settings{4, true, 1, true}},
        {"tileset=6\nmusic=0\nscale=9\nfullscreen=2\n", Settings{4, false, 1, false}},
        {"tileset= 3\nmusic=-0\nscale=+2\nfullscreen=\n", defaults},
        {"scale=99999999999999999999\nscale=0x3\nscale=3.0\nscale=2x\nscale=\xB3\n", defaults},
        {" scale=2\nscale =2\nScale=2\nscale\n=2\nscale==2\nscale=2\r\r\n", defaults},
        {"scale=2\nscale=7\nmusic=0\nmusic=1\n", Settings{4, true, 7, false}},
        {"scale=2\nscale=x\nscale=\n", Settings{4, true, 2, false}},
        {"scale=03\n", Settings{4, true, 3, false}},
        {"scale=2\0\nmusic=0\0\ntileset=3\n\0\0\n"s, Settings{2, true, 1, false}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parseSettings(text), expected) << text;

    const std::string pieces[] = {"tileset=", "music=", "scale=", "fullscreen=", "=", "\n", "\r", "0", "1", "9", "-"};
    std::mt19937 random(2024);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes;
        for (auto n = random() % 60; n > 0; --n)
            bytes += random() % 3 ? pieces[random() % std::size(pieces)] : std::string(1, char(random()));
        Settings parsed;
        ASSERT_NO_THROW(parsed = parseSettings(bytes)) << round;
        ASSERT_TRUE(parsed.tileset >= 0 && parsed.tileset < 5 && parsed.scale >= 1 && parsed.scale <= MaxScale)
            << round;
    }
}

// Read as the player: whatever stands under the name, the game starts, and nothing there changes.
// A file of more than 4096 bytes is no settings file, even when it starts like one.
TEST(SettingsFile, WhatIsNoReadableSettingsFileGivesTheDefaultsAndStaysAsItWas)
{
    testing_support::TempDataDir dir{std::vector<std::string>{}};
    const fs::path file = dir.data() / "klakoria.cfg";
    const std::string good = "tileset=2\nmusic=0\nscale=3\nfullscreen=1\n";
    const std::string padding(4096 - good.size(), '#');
    const auto writeFile = [&](const std::string& bytes, P mode = P::owner_all | P::others_read) {
        return [&, bytes, mode] { dir.writeFile("Data/klakoria.cfg", bytes), fs::permissions(file, mode); };
    };
    std::string junk;
    std::mt19937 random(77);
    for (int i = 0; i < 3000; ++i)
        junk.push_back(char(random() % 3 ? random() : "\0\n\r"[i % 3]));
    // What stands under the name, the settings read.
    const std::pair<std::function<void()>, Settings> cases[] = {
        {writeFile(good), Settings{1, false, 3, true}},
        {writeFile(good + padding), Settings{1, false, 3, true}},
        {[] {}, Settings{}},
        {writeFile(""), Settings{}},
        {writeFile(junk), Settings{}},
        {writeFile(good + padding + "#"), Settings{}},
        {writeFile(std::string(10'000'000, '\n') + good), Settings{}},
        {writeFile(good, P::none), Settings{}},
        {[&] { fs::create_directory(file); }, Settings{}},
        {[&] { ASSERT_EQ(mkfifo(file.c_str(), 0666), 0); }, Settings{}},
        {[&] { fs::create_symlink("/dev/zero", file); }, Settings{}},
    };
    for (int i = 0; const auto& [prepare, expected] : cases) {
        SCOPED_TRACE(i++);
        prepare();
        const fs::file_status before = fs::symlink_status(file);
        const std::string content = fs::is_regular_file(before) ? dir.readFile("Data/klakoria.cfg") : "";
        const Outcome read = asPlayer([] { std::fputs(formatSettings(readSettings()).c_str(), stdout); });
        EXPECT_EQ(read.status, 0);
        EXPECT_EQ(read.out, formatSettings(expected));
        EXPECT_EQ(read.err, "");
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
    const std::string old = "tileset=1\n";
    const auto oldFile = [&] { dir.writeFile("Data/klakoria.cfg", old); };
    const P readOnly = P::owner_read | P::owner_exec | P::others_exec;
    const auto locked = [&] { oldFile(), fs::permissions(dir.data(), readOnly); };
    // What stands under the name, whether the settings get there.
    const std::pair<std::function<void()>, bool> cases[] = {
        {[] {}, true},
        {oldFile, true},
        {locked, false},
        {[&] { fs::create_directory(file), dir.writeFile("Data/klakoria.cfg/x", old); }, false},
    };
    for (int i = 0; const auto& [prepare, written] : cases) {
        SCOPED_TRACE(i++);
        fs::permissions(dir.data(), P::all);
        prepare();
        const Outcome write = asPlayer([&] { std::printf("%d", writeSettings(chosen)); });
        EXPECT_EQ(write.status, 0);
        EXPECT_EQ(write.out, written ? "1" : "0");
        EXPECT_EQ(write.err, written ? "" : "Konnte Data/klakoria.cfg nicht speichern.\n");
        if (written)
            EXPECT_EQ(readSettings(), chosen);
        else
            EXPECT_EQ(dir.readFile(fs::is_directory(file) ? "Data/klakoria.cfg/x" : "Data/klakoria.cfg"), old);
        fs::permissions(dir.data(), P::all);
        fs::remove_all(file);
        EXPECT_TRUE(fs::is_empty(dir.data())) << "a temporary file was left behind";
    }
}
