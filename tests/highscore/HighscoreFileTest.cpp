#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
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

// Default rows, ":)" with the scores from `from` down to `to`, one line each.
std::string defaultLines(int from, int to)
{
    std::string lines;
    for (int score = from; score >= to; score -= 10)
        lines += ":);" + std::to_string(score) + "\n";
    return lines;
}

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

    TempDataDir dir{std::vector<std::string>{}};
};

TEST_F(HighscoreFile, EveryTableRewritesItsFileWithTenSortedRows)
{
    std::string twelveLines, firstTen;
    for (int i = 0; i < 12; ++i) {
        const std::string row = "Z" + std::to_string(i) + ";" + std::to_string(1000 - i);
        twelveLines += row + "\r\n";
        firstTen += i < 10 ? row + "\n" : "";
    }
    const struct {
        const char* what;
        std::optional<std::string> file;
        std::string saved;
    } cases[] = {
        {"no file", std::nullopt, defaultLines(100, 10)},
        {"three lines", "Abc;75\nXyz;5\nDef;300\n", "Def;300\nAbc;75\n" + defaultLines(70, 10) + "Xyz;5\n"},
        {"twelve lines ending in CR LF", twelveLines, firstTen},
        {"a negative score", "Neg;-40\n", defaultLines(90, 10) + "Neg;-40\n"},
    };
    for (const auto& c : cases) {
        fs::remove(dir.data() / "var1.hsc");
        if (c.file)
            dir.writeFile("Data/var1.hsc", *c.file);
        open().reset();
        EXPECT_EQ(dir.readFile("Data/var1.hsc"), c.saved) << c.what;
        open().reset();
        EXPECT_EQ(dir.readFile("Data/var1.hsc"), c.saved) << c.what << ", loaded and saved again";
        EXPECT_EQ(dataFolder(), std::vector<std::string>{"var1.hsc"}) << c.what;
    }
}

TEST_F(HighscoreFile, RandomTablesSurviveSaveAndLoad)
{
    std::mt19937 random(4120);
    for (int round = 0; round < 30; ++round) {
        auto table = open();
        for (auto& row : table->entries) {
            row = {std::string(random() % 41, ' '), static_cast<int32_t>(random())};
            for (char& byte : row.name)
                byte = static_cast<char>(32 + random() % 224);
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
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    dir.writeFile("Data/var1.hsc", "Xyz;5\nAbc;500\n");
    fs::permissions(dir.data() / "var1.hsc", mode);
    open().reset();
    EXPECT_EQ(fs::status(dir.data() / "var1.hsc").permissions(), mode);
    EXPECT_EQ(dir.readFile("Data/var1.hsc").substr(0, 9), "Abc;500\n:");
}

TEST_F(HighscoreFile, MissingFolderOrAFolderUnderTheListsNameGiveDefaultRowsAndAreLeftAlone)
{
    EXPECT_EQ(open("Fehlt/var1.hsc")->score(0), 100);
    EXPECT_FALSE(dir.exists("Fehlt"));
    fs::create_directory(dir.data() / "var1.hsc");
    dir.writeFile("Data/var1.hsc/inhalt", "bleibt");
    EXPECT_EQ(open()->score(0), 100);
    EXPECT_EQ(dir.readFile("Data/var1.hsc/inhalt"), "bleibt");
    EXPECT_EQ(dataFolder(), std::vector<std::string>{"var1.hsc"});
}

// highscore_helper loads the list, prints it, inserts "Gast" with 1000 and saves, as an
// unprivileged user: as root, file modes would stop nothing. The first case shows that this
// user can rewrite a list it may write, so that the others are no accident.
TEST_F(HighscoreFile, ListThatCannotBeReadOrReplacedStaysAsItWas)
{
    constexpr fs::perms all = fs::perms::all;
    constexpr fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    constexpr fs::perms noWriteForOthers = fs::perms::all & ~(fs::perms::group_write | fs::perms::others_write);
    const std::string before = "Xyz;5\nAbc;500\n";
    const struct {
        const char* what;
        fs::perms folderMode, fileMode;
        std::vector<std::string> fileSizeLimit;
        std::string loaded;  // what the helper printed, from its start
        std::string after;   // the file, from its start
    } cases[] = {
        {"a writable list", all, all, {}, "Abc;500\n:);80\n", "Gast;1000\nAbc;500\n:);80\n"},
        {"a read-only list in a writable folder", all, readOnly, {}, "Abc;500\n:);80\n", before},
        {"an unreadable list", all, fs::perms::none, {}, defaultLines(100, 10), before},
        {"a list in a folder that cannot be written", noWriteForOthers, all, {}, "Abc;500\n", before},
        {"a write failing halfway", all, all, {"20"}, "Abc;500\n", before},
    };
    fs::copy_file(HIGHSCORE_HELPER, dir.path() / "highscore_helper");
    fs::permissions(dir.path() / "highscore_helper", all);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::permissions(dir.data(), all);
        fs::remove(dir.data() / "var1.hsc");
        dir.writeFile("Data/var1.hsc", before);
        fs::permissions(dir.data() / "var1.hsc", c.fileMode);
        fs::permissions(dir.data(), c.folderMode);
        std::vector<std::string> argv = {"./highscore_helper", "Data/var1.hsc", "10", "Gast", "1000"};
        if (geteuid() == 0)
            argv.insert(argv.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
        argv.insert(argv.end(), c.fileSizeLimit.begin(), c.fileSizeLimit.end());
        const ProcessResult result = testing_support::runProcess(argv, dir.path());
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out.substr(0, c.loaded.size()), c.loaded);
        const std::string file = dir.readFile("Data/var1.hsc");
        EXPECT_EQ(c.after == before ? file : file.substr(0, c.after.size()), c.after);
        EXPECT_EQ(dataFolder(), std::vector<std::string>{"var1.hsc"}) << "a temporary file was left";
    }
}

TEST_F(HighscoreFile, RowsThatCannotBeAllocatedEndTheProgramWithAMessage)
{
    const ProcessResult result = testing_support::runProcess({HIGHSCORE_HELPER, "Data/var1.hsc", "-1"}, dir.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "\nKonnte keine Liste erzeugen!\nSpeicherallocation nicht m\xF6glich\n");
    EXPECT_FALSE(dir.exists("Data/var1.hsc"));
}

}  // namespace
