// Damaged lists and odd things under a list's name: the table always has its ten rows, the
// game never hangs on them, and saving never destroys a list it could not read, never writes
// anywhere but under the list's own name, and never leaves half a list behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "highscore/HighscoreScreens.h"
#include "highscore/HighscoreTable.h"

extern char** environ;

namespace fs = std::filesystem;
using testing_support::DummyScreen;
using testing_support::ProcessResult;
using testing_support::TempDataDir;

namespace {

using Rows = std::vector<std::pair<std::string, int32_t>>;

Rows rowsOf(const HighscoreTable& table)
{
    Rows rows;
    for (const auto& row : table.entries)
        rows.emplace_back(row.name, row.score);
    return rows;
}

const std::string defaultList = ":);100\n:);90\n:);80\n:);70\n:);60\n:);50\n:);40\n:);30\n:);20\n:);10\n";

std::string randomBytes(size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes;
    for (size_t i = 0; i < count; ++i)
        bytes += static_cast<char>(byte(random));
    return bytes;
}

class HostileList : public testing::Test {
protected:
    std::unique_ptr<HighscoreTable> open() { return std::make_unique<HighscoreTable>("Standart Click", "Data/var1.hsc", 10); }

    std::vector<std::string> dataFolder() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.data()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Runs highscore_helper as an unprivileged user (as root, file modes would stop nothing),
    // with a deadline: a list that makes it hang shows as a killed process.
    ProcessResult runHelperUnprivileged(const std::vector<std::string>& arguments)
    {
        const fs::path helper = dir.path() / "highscore_helper";
        if (!fs::exists(helper)) {
            fs::copy_file(HIGHSCORE_HELPER, helper);
            fs::permissions(helper, fs::perms::all);
        }
        std::vector<std::string> argv;
        if (geteuid() == 0)
            argv = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
        argv.push_back(helper.string());
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return testing_support::runProcess(argv, dir.path(), {}, 20);
    }

    TempDataDir dir{std::vector<std::string>{}};
};

}  // namespace

TEST_F(HostileList, DamagedContentGivesTenRowsAndIsSavedAsTenLinesThatReadBackTheSame)
{
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"random bytes", randomBytes(20000, 1498)},
        {"NUL bytes in names and scores", std::string("\0\0;5\0\n\0;\0\n;\0-7\nA\0;8\n", 20)},
        {"a single line of 10 MB", std::string(10'000'000, 'x')},
        {"a 10 MB line between rows, and no line break at the end", "A;5\n" + std::string(10'000'000, ';') + "\nB;7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dir.writeFile("Data/var1.hsc", c.bytes);
        auto table = open();
        ASSERT_EQ(table->entries.size(), 10u);
        const Rows loaded = rowsOf(*table);
        table.reset();
        const std::string saved = dir.readFile("Data/var1.hsc");
        EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 10);
        EXPECT_LT(saved.size(), 100'000u);
        EXPECT_EQ(rowsOf(*open()), loaded);
    }
}

// The rows' names are drawn as the game draws them; one that starts with a NUL byte shows as an
// empty name, and the list keeps it.
TEST_F(HostileList, NamesStartingWithNulShowAsEmptyNamesOnTheHighscoreScreen)
{
    TempDataDir withFont{{"boulder.ttf"}};
    const std::string list = std::string("\0Anna;500\n\0;400\nBe\0rt;300\n", 26);
    withFont.writeFile("Data/var1.hsc", list);
    DummyScreen screen;
    {
        HighscoreTable table("Standart Click", "Data/var1.hsc", 10);
        drawHighscoreScreen(table);
    }
    auto band = [](int x, int y, int w, int h) {
        return SDL_Rect{static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w), static_cast<Uint16>(h)};
    };
    for (int row = 0; row < 3; ++row) {
        const int y = 70 + 50 * row;
        EXPECT_GT(screen.countRed(band(95, y, 30, 40)), 0) << "place of row " << row;
        EXPECT_GT(screen.countRed(band(640, y, 60, 40)), 0) << "score of row " << row;
    }
    EXPECT_EQ(screen.countRed(band(200, 70, 400, 40)), 0) << "a name made of a NUL byte and more";
    EXPECT_EQ(screen.countRed(band(200, 120, 400, 40)), 0) << "a name made of a NUL byte alone";
    EXPECT_GT(screen.countRed(band(370, 170, 60, 40)), 30) << "the part of a name before its NUL byte";
    EXPECT_EQ(withFont.readFile("Data/var1.hsc").substr(0, list.size()), list);
}

// Nothing but a regular file is read as a list, and nothing the list could not read is
// replaced: a FIFO would block the game, /dev/zero would keep it reading for ever, and a list
// that may be written but not read would be overwritten with default rows.
TEST_F(HostileList, OddThingsUnderTheListsNameGiveDefaultRowsAndStayAsTheyWere)
{
    fs::permissions(dir.data(), fs::perms::all);
    const fs::path list = dir.data() / "var1.hsc";
    const struct {
        const char* name;
        std::function<void()> make;
        std::function<bool()> unchanged;
    } cases[] = {
        {"a FIFO", [&] { ASSERT_EQ(mkfifo(list.c_str(), 0666), 0); }, [&] { return fs::is_fifo(list); }},
        {"a link to /dev/zero", [&] { fs::create_symlink("/dev/zero", list); },
         [&] { return fs::is_symlink(list) && fs::read_symlink(list) == "/dev/zero"; }},
        {"a folder", [&] { fs::create_directory(list); }, [&] { return fs::is_directory(list) && fs::is_empty(list); }},
        {"a list that may be written but not read",
         [&] {
             dir.writeFile("Data/var1.hsc", "Real;777\n");
             fs::permissions(list, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write);
         },
         [&] { return dir.readFile("Data/var1.hsc") == "Real;777\n"; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.make();
        const ProcessResult result = runHelperUnprivileged({"Data/var1.hsc", "10", "Gast", "1000"});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, defaultList);
        EXPECT_TRUE(c.unchanged());
        EXPECT_EQ(dataFolder(), std::vector<std::string>{"var1.hsc"});
        fs::remove(list);
    }
}

// A link is read through, but saving replaces the link itself: the list never writes to a file
// elsewhere, which a planted link could otherwise make it overwrite.
TEST_F(HostileList, ALinkIsReadThroughAndReplacedByTheListWithoutTouchingItsTarget)
{
    fs::permissions(dir.data(), fs::perms::all);
    const fs::path outside = dir.path() / "woanders.hsc";
    const struct {
        const char* name;
        bool targetExists;
        std::string shownFirst;
    } cases[] = {
        {"a link to another list", true, "Woanders;5000\n"},
        {"a link to nothing", false, ":);100\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.targetExists) {
            dir.writeFile("woanders.hsc", "Woanders;5000\n");
            fs::permissions(outside, fs::perms::all);  // writable, so only the link decides
        }
        fs::create_symlink(outside, dir.data() / "var1.hsc");
        const ProcessResult result = runHelperUnprivileged({"Data/var1.hsc", "10", "Gast", "99999"});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out.substr(0, c.shownFirst.size()), c.shownFirst);
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir.data() / "var1.hsc")));
        EXPECT_EQ(dir.readFile("Data/var1.hsc").substr(0, 11 + c.shownFirst.size()), "Gast;99999\n" + c.shownFirst);
        EXPECT_EQ(fs::exists(outside), c.targetExists);
        if (c.targetExists) {
            EXPECT_EQ(dir.readFile("woanders.hsc"), "Woanders;5000\n");
        }
        fs::remove(dir.data() / "var1.hsc");
        fs::remove(outside);
    }
}

namespace {

// A list of ten long rows as the game writes it, so that a save takes a while.
std::string bigList(char letter, int32_t best)
{
    std::string text;
    for (int i = 0; i < 10; ++i)
        text += std::string(60'000, static_cast<char>(letter + i)) + ";" + std::to_string(best - i) + "\n";
    return text;
}

// The helper saving two versions in turn, started with its output on a pipe.
class SavingHelper {
public:
    SavingHelper(const std::vector<std::string>& arguments)
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
        std::vector<char*> argv;
        for (const auto& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        output = fds[0];
    }
    ~SavingHelper()
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (output >= 0)
            close(output);
    }
    SavingHelper(const SavingHelper&) = delete;
    SavingHelper& operator=(const SavingHelper&) = delete;

    // Reads count bytes of its output: the line it prints when it is ready, or one '.' per save.
    bool waitForOutput(size_t count) const
    {
        for (char byte = 0; count > 0; --count)
            if (pid <= 0 || read(output, &byte, 1) != 1)
                return false;
        return true;
    }
    bool killNow()  // true when it was still running, as it should be
    {
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        pid = -1;
        return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

private:
    pid_t pid = -1;
    int output = -1;
};

}  // namespace

// The moment of the kill is left to chance on purpose: whatever the save was doing, the list is
// one of the two versions, whole. The helper is killed in its first to fourth save, after a short
// delay of up to a few of its system calls' time.
TEST_F(HostileList, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewListWhole)
{
    const std::string versionA = bigList('a', 1000);
    const std::string versionB = bigList('A', 2000);
    dir.writeFile("a.hsc", versionA);
    dir.writeFile("b.hsc", versionB);
    dir.writeFile("Data/var1.hsc", versionA);
    const std::string list = (dir.data() / "var1.hsc").string();

    std::mt19937 random(5001);
    std::uniform_int_distribution<int> delayMicroseconds(0, 4'000);
    std::uniform_int_distribution<size_t> finishedSaves(0, 3);
    int seenA = 0;
    int seenB = 0;
    int killedWhileWriting = 0;  // rounds that left a temporary file behind
    for (int round = 0; round < 60; ++round) {
        SavingHelper helper({HIGHSCORE_HELPER, "--save-again-and-again", list, (dir.path() / "a.hsc").string(),
                             (dir.path() / "b.hsc").string()});
        ASSERT_TRUE(helper.waitForOutput(std::string("bereit\n").size() + finishedSaves(random))) << "round " << round;
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ASSERT_TRUE(helper.killNow()) << "round " << round;
        const std::string content = dir.readFile("Data/var1.hsc");
        seenA += content == versionA;
        seenB += content == versionB;
        killedWhileWriting += dataFolder().size() > 1;
        ASSERT_TRUE(content == versionA || content == versionB)
            << "round " << round << ": " << content.size() << " bytes, " << std::count(content.begin(), content.end(), '\n')
            << " lines";
    }
    EXPECT_GT(seenB, 0) << "no save was ever finished before the kill";
    EXPECT_GT(seenA, 0);
    EXPECT_GT(killedWhileWriting, 0) << "no kill hit a save while it wrote its temporary file";

    // The next save that runs to its end clears what the killed ones left beside the list, but
    // not the temporary file of a process that still runs: that may be a save in progress.
    const std::string running = "var1.hsc.tmp-" + std::to_string(getpid());
    dir.writeFile("Data/" + running, "halb");
    const std::string before = dir.readFile("Data/var1.hsc");
    const ProcessResult result = testing_support::runProcess({HIGHSCORE_HELPER, list, "10"}, dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(dataFolder(), (std::vector<std::string>{"var1.hsc", running}));
    EXPECT_TRUE(dir.readFile("Data/var1.hsc") == before);
}
