#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "TestSupport.h"
#include "system/Files.h"

namespace fs = std::filesystem;

namespace {

// In a process of its own whose files may grow to 20 bytes, so that a longer write fails halfway.
bool replaceFileWithinTwentyBytes(const std::string& path, const std::string& content)
{
    const pid_t child = fork();
    if (child == 0) {
        const rlimit twentyBytes{20, 20};
        signal(SIGXFSZ, SIG_IGN);  // the write fails instead of killing the process
        _exit(setrlimit(RLIMIT_FSIZE, &twentyBytes) != 0 ? 2 : replaceFile(path, content) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) < 2);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

// Whatever stood under the name stays as it was when the content did not reach the disk; a file
// elsewhere that a link under the name points at is never written.
TEST(Files, ReplaceFileReportsWhetherTheContentReachedTheDiskAndLeavesTheOldFileWholeWhenNot)
{
    testing_support::TempDataDir dir{std::vector<std::string>{}};
    ::umask(022);  // a new file: rw-r--r--
    const fs::path file = dir.data() / "liste";
    const std::string content(5000, 'n');
    const auto contentThere = [&] { return fs::is_directory(file) ? "(Ordner)" : dir.readFile("Data/liste"); };
    const auto oldFile = [&] { dir.writeFile("Data/liste", "alt"), fs::permissions(file, fs::perms::owner_read | fs::perms::group_read); };
    // What stands under the name, the name given, whether the write hits a file size limit, whether the content arrives.
    const std::tuple<std::function<void()>, std::string, bool, bool> cases[] = {
        {oldFile, "Data/liste", false, true},
        {[] {}, "Data/liste", false, true},
        {[&] { dir.writeFile("woanders", "fremd"), fs::create_symlink(dir.path() / "woanders", file); }, "Data/liste", false, true},
        {oldFile, "Data/liste", true, false},
        {[&] { fs::create_directory(file); }, "Data/liste", false, false},
        {[] {}, "Data/fehlt/liste", false, false},
    };
    for (int i = 0; const auto& [make, path, limited, reached] : cases) {
        SCOPED_TRACE(i++);
        make();
        const fs::file_status before = fs::symlink_status(file);
        const std::string oldContent = contentThere();
        EXPECT_EQ(limited ? replaceFileWithinTwentyBytes(path, content) : replaceFile(path, content), reached);
        if (reached)
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(file)) && contentThere() == content);
        else
            EXPECT_TRUE(fs::symlink_status(file).type() == before.type() && contentThere() == oldContent);
        if (reached) {
            EXPECT_EQ(fs::status(file).permissions(), fs::is_regular_file(before) ? before.permissions() : fs::perms(0644));
        }
        EXPECT_NE(dir.readFile("woanders"), content);
        fs::remove_all(file);
        EXPECT_TRUE(fs::is_empty(dir.data())) << "a temporary file was left behind";
    }
}
