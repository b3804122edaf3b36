#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "highscore/HighscoreTable.h"

namespace fs = std::filesystem;
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

const std::string defaultFile = ":);100\n:);90\n:);80\n:);70\n:);60\n:);50\n:);40\n:);30\n:);20\n:);10\n";

class HighscoreFile : public ::testing::Test {
protected:
    ~HighscoreFile() override
    {
        // So that the folder can be removed also when the tests do not run as root.
        std::error_code ignored;
        fs::permissions(dir.data(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }

    std::unique_ptr<HighscoreTable> open(const std::string& fileName = "Data/var1.hsc")
    {
        return std::make_unique<HighscoreTable>("Standart Click", fileName, 10);
    }

    std::vector<std::string> dataFolder() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.data()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Runs highscore_helper as an unprivileged user: as root, file modes would stop nothing.
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
        return testing_support::runProcess(argv, dir.path());
    }

    void setMode(const std::string& relative, fs::perms mode) const { fs::permissions(dir.path() / relative, mode); }

    TempDataDir dir{std::vector<std::string>{}};
};

TEST_F(HighscoreFile, MissingFileGivesDefaultRowsAndIsCreatedWithThemAlone)
{
    auto table = open();
    EXPECT_EQ(table->name(0), ":)");
    EXPECT_EQ(table->score(0), 100);
    EXPECT_EQ(table->score(9), 10);
    table.reset();
    EXPECT_EQ(dir.readFile("Data/var1.hsc"), defaultFile);
    EXPECT_EQ(dataFolder(), std::vector<std::string>{"var1.hsc"});
}

TEST_F(HighscoreFile, MissingFolderGivesDefaultRowsAndWritesNothing)
{
    auto table = open("Fehlt/var1.hsc");
    EXPECT_EQ(table->score(0), 100);
    table.reset();
    EXPECT_FALSE(dir.exists("Fehlt"));
}

TEST_F(HighscoreFile, ShortFileIsFilledUpWithDefaultRowsAndSorted)
{
    dir.writeFile("Data/var1.hsc", "Abc;75\nXyz;5\nDef;300\n");
    auto table = open();
    const Rows expected = {{"Def", 300}, {"Abc", 75}, {":)", 70}, {":)", 60}, {":)", 50},
                           {":)", 40},   {":)", 30},  {":)", 20}, {":)", 10}, {"Xyz", 5}};
    EXPECT_EQ(rowsOf(*table), expected);
    table.reset();
    EXPECT_EQ(dir.readFile("Data/var1.hsc"), "Def;300\nAbc;75\n:);70\n:);60\n:);50\n:);40\n:);30\n:);20\n:);10\nXyz;5\n");
}

TEST_F(HighscoreFile, LinesAfterTheTenthAreIgnoredAndDropped)
{
    std::string text;
    for (int i = 0; i < 10; ++i)
        text += "Z" + std::to_string(i) + ";" + std::to_string(1000 - i) + "\r\n";
    dir.writeFile("Data/var1.hsc", text + "Hoch;9999\r\nHoeher;99999\r\n");
    auto table = open();
    EXPECT_EQ(table->name(0), "Z0");
    EXPECT_EQ(table->score(9), 991);
    table.reset();
    const std::string saved = dir.readFile("Data/var1.hsc");
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 10);
    EXPECT_EQ(saved.find("Hoch"), std::string::npos);
}

TEST_F(HighscoreFile, NegativeScoreKeepsItsSignThroughSaveAndLoad)
{
    dir.writeFile("Data/var1.hsc", "Neg;-40\n");
    open().reset();
    EXPECT_NE(dir.readFile("Data/var1.hsc").find("\nNeg;-40\n"), std::string::npos);
    EXPECT_EQ(open()->score(9), -40);
}

TEST_F(HighscoreFile, RandomTablesSurviveSaveAndLoad)
{
    std::mt19937 random(4120);
    std::uniform_int_distribution<int32_t> score(std::numeric_limits<int32_t>::min(),
                                                 std::numeric_limits<int32_t>::max());
    std::uniform_int_distribution<int> length(0, 40), byte(32, 255);
    for (int round = 0; round < 30; ++round) {
        auto table = open();
        for (auto& row : table->entries) {
            row = {std::string(), score(random)};
            for (int n = length(random); n > 0; --n)
                row.name.push_back(static_cast<char>(byte(random)));
            std::replace(row.name.begin(), row.name.end(), ';', '!');
        }
        table->sort();
        const Rows saved = rowsOf(*table);
        table.reset();
        ASSERT_EQ(rowsOf(*open()), saved) << "round " << round;
    }
}

TEST_F(HighscoreFile, SavingKeepsTheModeOfTheOldFile)
{
    dir.writeFile("Data/var1.hsc", "Xyz;5\nAbc;500\n");
    setMode("Data/var1.hsc", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    open().reset();
    EXPECT_EQ(fs::status(dir.data() / "var1.hsc").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(dir.readFile("Data/var1.hsc").substr(0, 9), "Abc;500\n:");
}

TEST_F(HighscoreFile, FolderUnderTheListsNameIsLeftAlone)
{
    fs::create_directory(dir.data() / "var1.hsc");
    dir.writeFile("Data/var1.hsc/inhalt", "bleibt");
    EXPECT_EQ(open()->score(0), 100);
    EXPECT_EQ(dir.readFile("Data/var1.hsc/inhalt"), "bleibt");
    EXPECT_EQ(dataFolder(), std::vector<std::string>{"var1.hsc"});
}

// The control for the cases below: the unprivileged user can rewrite a list it may write.
TEST_F(HighscoreFile, UnprivilegedUserRewritesAWritableList)
{
    dir.writeFile("Data/var1.hsc", "Xyz;5\nAbc;500\n");
    setMode("Data", fs::perms::all);
    setMode("Data/var1.hsc", fs::perms::all);
    const ProcessResult result = runHelperUnprivileged({"Data/var1.hsc", "10", "Gast", "1000"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, 13), "Abc;500\n:);80");
    EXPECT_EQ(dir.readFile("Data/var1.hsc").substr(0, 18), "Gast;1000\nAbc;500\n");
    EXPECT_EQ(dataFolder(), std::vector<std::string>{"var1.hsc"});
}

TEST_F(HighscoreFile, ReadOnlyListStaysUntouchedEvenInAWritableFolder)
{
    dir.writeFile("Data/var1.hsc", "Xyz;5\nAbc;500\n");
    setMode("Data", fs::perms::all);
    setMode("Data/var1.hsc", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const ProcessResult result = runHelperUnprivileged({"Data/var1.hsc", "10", "Gast", "1000"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, 8), "Abc;500\n");
    EXPECT_EQ(dir.readFile("Data/var1.hsc"), "Xyz;5\nAbc;500\n");
    EXPECT_EQ(dataFolder(), std::vector<std::string>{"var1.hsc"});
}

TEST_F(HighscoreFile, UnreadableListGivesDefaultRowsAndStaysUntouched)
{
    dir.writeFile("Data/var1.hsc", "Xyz;5\nAbc;500\n");
    setMode("Data", fs::perms::all);
    setMode("Data/var1.hsc", fs::perms::none);
    const ProcessResult result = runHelperUnprivileged({"Data/var1.hsc", "10", "Gast", "1000"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, defaultFile);
    EXPECT_EQ(dir.readFile("Data/var1.hsc"), "Xyz;5\nAbc;500\n");
}

TEST_F(HighscoreFile, ListInAFolderThatCannotBeWrittenStaysAsItWas)
{
    dir.writeFile("Data/var1.hsc", "Xyz;5\nAbc;500\n");
    setMode("Data/var1.hsc", fs::perms::all);
    setMode("Data", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec);
    const ProcessResult result = runHelperUnprivileged({"Data/var1.hsc", "10", "Gast", "1000"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(dir.readFile("Data/var1.hsc"), "Xyz;5\nAbc;500\n");
    EXPECT_EQ(dataFolder(), std::vector<std::string>{"var1.hsc"});
}

TEST_F(HighscoreFile, WriteFailingHalfwayLeavesTheOldListAndNoTemporary)
{
    dir.writeFile("Data/var1.hsc", "Xyz;5\nAbc;500\n");
    setMode("Data", fs::perms::all);
    setMode("Data/var1.hsc", fs::perms::all);
    const ProcessResult result = runHelperUnprivileged({"Data/var1.hsc", "10", "Gast", "1000", "20"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(dir.readFile("Data/var1.hsc"), "Xyz;5\nAbc;500\n");
    EXPECT_EQ(dataFolder(), std::vector<std::string>{"var1.hsc"});
}

TEST_F(HighscoreFile, RowsThatCannotBeAllocatedEndTheProgramWithAMessage)
{
    const ProcessResult result = runHelperUnprivileged({"Data/var1.hsc", "-1"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "\nKonnte keine Liste erzeugen!\nSpeicherallocation nicht m\xF6glich\n");
    EXPECT_FALSE(dir.exists("Data/var1.hsc"));
}

}  // namespace
