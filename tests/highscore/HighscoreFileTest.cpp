// A table rewrites its file whole or not at all, and never replaces a list it could not read, one
// the player made read-only, or anything but a regular file under the list's name; a list it does
// not write is named on standard error.
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <random>
#include <sstream>

#include "TestSupport.h"
#include "highscore/HighscoreTable.h"
#include "system/Files.h"

namespace fs = std::filesystem;

namespace {

class HighscoreFile : public testing::Test {
protected:
    testing_support::TempDataDir dir{std::vector<std::string>{}};
};

// In a death test's process: as root, for whom modes stop nothing, it becomes the user nobody; it
// is ended after 20 s should it hang on a FIFO.
void becomePlayer()
{
    alarm(20);
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
        _exit(2);
}

}  // namespace

// Random bytes, mostly those that matter to the format, make tables and garbage: what is saved loads
// as it was saved.
TEST_F(HighscoreFile, RandomTablesAndRandomGarbageSurviveSaveAndLoad)
{
    static const std::string bytesToPick{"\n\n\n;;;\r-+ 0123456789\0\tAbc\xE4\xFF", 27};
    std::mt19937 random(4120);
    for (int round = 0; round < 200; ++round) {
        std::string bytes;
        for (auto n = random() % 1000; n > 0; --n)
            bytes.push_back(bytesToPick[random() % bytesToPick.size()]);
        dir.writeFile("Data/var1.hsc", bytes);
        HighscoreTable("Helfer", "Data/var1.hsc", 10);
        const std::string saved = dir.readFile("Data/var1.hsc");
        HighscoreTable("Helfer", "Data/var1.hsc", 10);
        ASSERT_EQ(dir.readFile("Data/var1.hsc"), saved);
    }
}

// As the player, a row is inserted into the list and the list saved. That the player replaces a list
// they may write shows that the others are no accident.
TEST_F(HighscoreFile, AListThatMustNotBeReplacedStaysAsItWasAndTheLossIsTold)
{
    const fs::path list = dir.data() / "var1.hsc";
    const auto writeList = [&](int mode) {
        return [&, mode] { dir.writeFile("Data/var1.hsc", "Abc;500\n"), fs::permissions(list, fs::perms(mode)); };
    };
    // How to make the list, whether it is replaced.
    const std::pair<std::function<void()>, bool> cases[] = {
        // Its rows unread, so the default rows shown; read-only; the game may write it.
        {writeList(0202), false},
        {writeList(0404), false},
        {writeList(0606), true},
        // A FIFO would block the game.
        {[&] { mkfifo(list.c_str(), 0666); }, false},
    };
    const auto insert = [] {
        becomePlayer();
        HighscoreTable("Helfer", "Data/var1.hsc", 10).insert("Gast", 99999);
        _exit(0);
    };
    fs::permissions(dir.data(), fs::perms::all);
    for (int i = 0; const auto& [make, replaced] : cases) {
        SCOPED_TRACE(i++);
        make();
        const char* const told = replaced ? "^$" : "^Konnte Data/var1.hsc nicht speichern.\n$";
        EXPECT_EXIT(insert(), testing::ExitedWithCode(0), told);
        EXPECT_EQ(fs::is_regular_file(list) && dir.readFile("Data/var1.hsc").starts_with("Gast"), replaced);
        fs::remove_all(list);
    }
}

// A save killed at each of its steps leaves the old list or, once renamed, the new one, whole; each
// save first removes what the killed one before it left behind, but not the file of a running save.
TEST_F(HighscoreFile, ASaveKilledAtEachOfItsStepsLeavesTheOldOrTheNewListWhole)
{
    std::string versions[2];
    for (int i = 0; i < 20; ++i)
        versions[i / 10] += std::string(100, char('a' + i)) + ";" + std::to_string(1000 - i % 10) + "\n";
    const auto saveUntil = [&](SaveStep step) {
        setSaveStepObserver([step](SaveStep now) {
            if (now == step)
                raise(SIGKILL);
        });
        HighscoreTable list("Helfer", "Data/var1.hsc", 10);
        std::istringstream rows(versions[1]);
        list.readFrom(rows);
    };
    const std::string running = "Data/var1.hsc.tmp-" + std::to_string(getpid());
    dir.writeFile(running, "halb");
    for (const SaveStep step : {SaveStep::Opened, SaveStep::HalfWritten, SaveStep::Written, SaveStep::Closed,
                                SaveStep::Renamed}) {
        dir.writeFile("Data/var1.hsc", versions[0]);
        EXPECT_EXIT(saveUntil(step), testing::KilledBySignal(SIGKILL), "");
        const bool renamed = step == SaveStep::Renamed;
        EXPECT_EQ(dir.readFile("Data/var1.hsc"), versions[renamed]);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.data()), {}), renamed ? 2 : 3);
    }
    EXPECT_EQ(dir.readFile(running), "halb");
}

TEST_F(HighscoreFile, RowsThatCannotBeAllocatedEndTheProgramWithAMessage)
{
    const auto allocate = [] {
        dup2(2, 1);
        HighscoreTable("Helfer", "Data/var2.hsc", -1);
    };
    EXPECT_EXIT(allocate(), testing::ExitedWithCode(1),
                "^\nKonnte keine Liste erzeugen!\nSpeicherallocation nicht m\xF6glich\n$");
}
