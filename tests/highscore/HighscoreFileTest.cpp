// A table rewrites its file whole or not at all, and never replaces a list it could not read, one
// the player made read-only, or anything but a regular file under the list's name; a list it does
// not write is named on standard error.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <random>
#include <sstream>

#include "TestSupport.h"
#include "game/rules/GameRules.h"
#include "highscore/HighscoreTable.h"
#include "system/Files.h"

namespace fs = std::filesystem;
using testing_support::ProcessResult;

namespace {

class HighscoreFile : public testing::Test {
protected:
    std::vector<std::string> strays() const  // beside the list, such as a temporary file left behind
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.data()))
            if (entry.path().filename() != "var1.hsc")
                names.push_back(entry.path().filename().string());
        return names;
    }

    testing_support::TempDataDir dir{std::vector<std::string>{}};
};

}  // namespace

// Even rounds: ten rows of random names (bytes 32 to 255 but ';') and scores, in the first the
// last row the longest name a player can type with a variant's suffix and the lowest score; odd
// ones: random bytes, those that matter to the format coming often.
TEST_F(HighscoreFile, RandomTablesAndRandomGarbageSurviveSaveAndLoad)
{
    static const std::string special{"\n\n;;\r-+ 0123456789\0\t", 20};
    std::mt19937 random(4120);
    GameCore nameEntry;
    for (size_t typed = 0; typed <= LongestPlayerName; ++typed)
        nameEntry.editPlayerName('W');
    ASSERT_EQ(nameEntry.playerName.size(), LongestPlayerName);
    const std::string longestRow = nameEntry.playerName + " (5);-2147483648\n";
    for (int round = 0; round < 100; ++round) {
        std::string bytes;
        for (auto n = round % 2 ? random() % 3000 : 0; n > 0; --n)
            bytes.push_back(random() % 3 == 0 ? special[random() % special.size()] : char(random()));
        for (int row = round == 0 ? 1 : 0; row < 10 && round % 2 == 0; ++row) {
            for (auto n = random() % 41; n > 0; --n) {
                const auto b = 32 + random() % 223;
                bytes.push_back(char(b < ';' ? b : b + 1));
            }
            bytes += ";" + std::to_string(static_cast<int32_t>(random())) + "\n";
        }
        if (round == 0)
            bytes += longestRow;
        dir.writeFile("Data/var1.hsc", bytes);
        std::ostringstream saved, reloaded;
        HighscoreTable("Standart Click", "Data/var1.hsc", 10).writeTo(saved);
        HighscoreTable("Standart Click", "Data/var1.hsc", 10).writeTo(reloaded);
        ASSERT_EQ(reloaded.str(), saved.str()) << round;
        ASSERT_EQ(saved.str(), dir.readFile("Data/var1.hsc")) << round;
        const std::string text = saved.str();
        ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 10) << round;
        ASSERT_TRUE(round > 0 || text.ends_with(longestRow)) << "the longest name comes back whole";
    }
}

// The helper loads the list, prints it, inserts "Gast" with 99999 and saves, as the user nobody.
// The first case shows that this user can replace a list it may write, so the others are no accident.
// A list not written, whatever the reason, loses the new row: the player is told so.
TEST_F(HighscoreFile, AListThatMustNotBeReplacedStaysAsItWasAndNothingIsWrittenElsewhere)
{
    using P = fs::perms;
    const fs::path list = dir.data() / "var1.hsc", outside = dir.path() / "woanders.hsc";
    const std::string before = "Xyz;5\nAbc;500\n", defaults = ":);100\n:);90\n";
    const P shared = P::owner_read | P::owner_write | P::group_read | P::others_read | P::others_write;
    auto writeList = [&](P mode) { return [&, mode] { dir.writeFile("Data/var1.hsc", before), fs::permissions(list, mode); }; };
    auto unchanged = [&] { return dir.readFile("Data/var1.hsc") == before; };
    auto replacedWith = [&](const std::string& start) {
        return fs::is_regular_file(fs::symlink_status(list)) && dir.readFile("Data/var1.hsc").starts_with("Gast;99999\n" + start);
    };
    // How to make the list, the start of its rows as loaded, what must hold afterwards, the file size limit.
    const std::tuple<std::function<void()>, std::string, std::function<bool()>, const char*> cases[] = {
        {writeList(shared), "Abc;500\n:);80\n",
         [&] { return replacedWith("Abc;500\n:);80\n") && fs::status(list).permissions() == shared; }, "1000000"},
        {writeList(P::owner_read | P::group_read | P::others_read), "Abc;500\n", unchanged, "1000000"},
        {writeList(P::owner_write | P::group_write | P::others_write), defaults, unchanged, "1000000"},
        {writeList(P::all), "Abc;500\n", unchanged, "40"},  // a write failing halfway; the message still fits
        // A FIFO would block the game and /dev/zero keep it reading for ever.
        {[&] { ASSERT_EQ(mkfifo(list.c_str(), 0666), 0); }, defaults, [&] { return fs::is_fifo(list); }, "1000000"},
        {[&] { fs::create_symlink("/dev/zero", list); }, defaults, [&] { return fs::read_symlink(list) == "/dev/zero"; }, "1000000"},
        {[&] { fs::create_directory(list); }, defaults, [&] { return fs::is_directory(list) && fs::is_empty(list); }, "1000000"},
        // A link is read through but replaced itself, never overwriting a file elsewhere.
        {[&] { dir.writeFile("woanders.hsc", "Woanders;5000\n"), fs::permissions(outside, P::all), fs::create_symlink(outside, list); },
         "Woanders;5000\n", [&] { return replacedWith("Woanders;5000\n") && dir.readFile("woanders.hsc") == "Woanders;5000\n"; }, "1000000"},
    };
    fs::permissions(dir.data(), P::all);
    fs::copy_file(HIGHSCORE_HELPER, dir.path() / "highscore_helper");
    for (int i = 0; const auto& [make, shown, after, fileSizeLimit] : cases) {
        SCOPED_TRACE(i++);
        make();
        std::vector<std::string> argv = {"./highscore_helper", "Data/var1.hsc", "10", "Gast", "99999", fileSizeLimit};
        if (geteuid() == 0)
            argv.insert(argv.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
        const ProcessResult result = testing_support::runProcess(argv, dir.path(), {}, 20);
        EXPECT_EQ(result.status, 0);
        EXPECT_TRUE(result.out.starts_with(shown)) << result.out.substr(0, 40);
        EXPECT_TRUE(after());
        EXPECT_EQ(result.err, replacedWith("") ? "" : "Konnte Data/var1.hsc nicht speichern.\n");
        EXPECT_EQ(strays(), std::vector<std::string>{});
        fs::remove_all(list);
    }
}

// A save killed at each of its steps leaves the old list or, once renamed, the new one, whole. Each save
// first removes what the killed one before it left behind.
TEST_F(HighscoreFile, ASaveKilledAtEachOfItsStepsLeavesTheOldOrTheNewListWhole)
{
    std::string versions[2];
    for (int i = 0; i < 20; ++i)
        versions[i / 10] += std::string(100, char("aA"[i / 10] + i % 10)) + ";" + std::to_string(1000 - i % 10) + "\n";
    dir.writeFile("Data/var1.hsc", versions[0]);
    for (const SaveStep step : {SaveStep::Opened, SaveStep::HalfWritten, SaveStep::Written, SaveStep::Closed,
                                SaveStep::Renamed}) {
        const pid_t saver = fork();
        if (saver == 0) {
            setSaveStepObserver([step](SaveStep now) {
                if (now == step)
                    raise(SIGKILL);
            });
            HighscoreTable list("Helfer", "Data/var1.hsc", 10);
            std::istringstream rows(versions[1]);
            list.readFrom(rows);
            list.save();
            _exit(0);
        }
        int status = 0;
        waitpid(saver, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << int(step);
        const bool renamed = step == SaveStep::Renamed;
        EXPECT_EQ(dir.readFile("Data/var1.hsc"), versions[renamed]) << int(step);
        EXPECT_EQ(strays().size(), renamed ? 0u : 1u) << int(step);
        dir.writeFile("Data/var1.hsc", versions[0]);
    }

    // A finished save clears what killed ones left, but not the file of a process still running.
    const std::string running = "var1.hsc.tmp-" + std::to_string(getppid());
    dir.writeFile("Data/" + running, "halb");
    const std::string before = dir.readFile("Data/var1.hsc");
    { HighscoreTable list("Standart Click", "Data/var1.hsc", 10); }
    EXPECT_EQ(strays(), std::vector<std::string>{running});
    EXPECT_TRUE(dir.readFile("Data/var1.hsc") == before);
}

TEST_F(HighscoreFile, RowsThatCannotBeAllocatedEndTheProgramWithAMessage)
{
    const ProcessResult result = testing_support::runProcess({HIGHSCORE_HELPER, "Data/var2.hsc", "-1"}, dir.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "\nKonnte keine Liste erzeugen!\nSpeicherallocation nicht m\xF6glich\n");
    EXPECT_FALSE(fs::exists(dir.data() / "var2.hsc"));
}
