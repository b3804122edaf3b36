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

// Rows of random bytes, those that matter to the format coming often, each ended by a score. Ten
// rows are saved, and load as they were saved.
TEST_F(HighscoreFile, RandomTablesAndRandomGarbageSurviveSaveAndLoad)
{
    static const std::string special{"\n\n;;\r-+ 0123456789\0\t", 20};
    std::mt19937 random(4120);
    for (int round = 0; round < 100; ++round) {
        std::string bytes;
        for (auto row = random() % 15; row > 0; --row) {
            for (auto n = random() % 41; n > 0; --n)
                bytes.push_back(random() % 3 == 0 ? special[random() % special.size()] : char(random()));
            bytes += ";" + std::to_string(static_cast<int32_t>(random())) + "\n";
        }
        dir.writeFile("Data/var1.hsc", bytes);
        HighscoreTable("Standart Click", "Data/var1.hsc", 10);
        const std::string saved = dir.readFile("Data/var1.hsc");
        std::ostringstream reloaded;
        HighscoreTable("Standart Click", "Data/var1.hsc", 10).writeTo(reloaded);
        ASSERT_EQ(reloaded.str(), saved) << round;
        ASSERT_EQ(std::count(saved.begin(), saved.end(), '\n'), 10) << round;
    }
}

// As the player, a row is inserted into the list and the list saved. The first case shows that the
// player can replace a list they may write, so the others are no accident.
TEST_F(HighscoreFile, AListThatMustNotBeReplacedStaysAsItWasAndTheLossIsTold)
{
    using P = fs::perms;
    const fs::path list = dir.data() / "var1.hsc";
    const auto writeList = [&](P mode) {
        return [&, mode] { dir.writeFile("Data/var1.hsc", "Abc;500\n"), fs::permissions(list, mode); };
    };
    // How to make the list, whether it is replaced.
    const std::pair<std::function<void()>, bool> cases[] = {
        {writeList(P::owner_all | P::others_read | P::others_write), true},
        {writeList(P::owner_read | P::others_read), false},
        {writeList(P::owner_write | P::others_write), false},  // its rows unread
        // A FIFO would block the game and /dev/zero keep it reading for ever.
        {[&] { ASSERT_EQ(mkfifo(list.c_str(), 0666), 0); }, false},
        {[&] { fs::create_symlink("/dev/zero", list); }, false},
        // A link is read through but replaced itself, never writing the file elsewhere.
        {[&] { writeList(P::all)(), fs::rename(list, "woanders"), fs::create_symlink(dir.path() / "woanders", list); },
         true},
    };
    const auto insert = [] {
        becomePlayer();
        HighscoreTable("Helfer", "Data/var1.hsc", 10).insert("Gast", 99999);
        _exit(0);
    };
    fs::permissions(dir.data(), P::all);
    for (int i = 0; const auto& [make, replaced] : cases) {
        SCOPED_TRACE(i++);
        make();
        EXPECT_EXIT(insert(), testing::ExitedWithCode(0), replaced ? "^$" : "^Konnte Data/var1.hsc nicht speichern.\n$");
        EXPECT_EQ(fs::is_regular_file(list) && dir.readFile("Data/var1.hsc").starts_with("Gast"), replaced);
        fs::remove_all(list);
    }
    EXPECT_EQ(dir.readFile("woanders"), "Abc;500\n");
}

// A save killed at each of its steps leaves the old list or, once renamed, the new one, whole; each
// save first removes what the killed one before it left behind.
TEST_F(HighscoreFile, ASaveKilledAtEachOfItsStepsLeavesTheOldOrTheNewListWhole)
{
    std::string versions[2];
    for (int i = 0; i < 20; ++i)
        versions[i / 10] += std::string(100, char("aA"[i / 10] + i % 10)) + ";" + std::to_string(1000 - i % 10) + "\n";
    const auto saveUntil = [&](SaveStep step) {
        setSaveStepObserver([step](SaveStep now) {
            if (now == step)
                raise(SIGKILL);
        });
        HighscoreTable list("Helfer", "Data/var1.hsc", 10);
        std::istringstream rows(versions[1]);
        list.readFrom(rows);
    };
    for (const SaveStep step : {SaveStep::Opened, SaveStep::HalfWritten, SaveStep::Written, SaveStep::Closed,
                                SaveStep::Renamed}) {
        dir.writeFile("Data/var1.hsc", versions[0]);
        EXPECT_EXIT(saveUntil(step), testing::KilledBySignal(SIGKILL), "");
        const bool renamed = step == SaveStep::Renamed;
        EXPECT_EQ(dir.readFile("Data/var1.hsc"), versions[renamed]) << int(step);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.data()), {}), renamed ? 1 : 2) << int(step);
    }
}

TEST_F(HighscoreFile, RowsThatCannotBeAllocatedEndTheProgramWithAMessage)
{
    const auto allocate = [] {
        dup2(2, 1);
        HighscoreTable("Helfer", "Data/var2.hsc", -1);
    };
    EXPECT_EXIT(allocate(), testing::ExitedWithCode(1), "^\nKonnte keine Liste erzeugen!\nSpeicherallocation nicht m\xF6glich\n$");
    EXPECT_FALSE(fs::exists(dir.data() / "var2.hsc"));
}
