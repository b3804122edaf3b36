#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "TestSupport.h"
#include "system/Files.h"

namespace fs = std::filesystem;

// A write that fails halfway (files may grow to 20 bytes only) is reported and leaves the old file as
// it was, nothing beside it; a replacement that succeeds keeps the old file's mode.
TEST(Files, ReplaceFileReplacesTheOldFileWholeOrNotAtAll)
{
    testing_support::TempDataDir dir{std::vector<std::string>{}};
    const std::string content(5000, 'n');
    dir.writeFile("Data/liste", "alt");
    fs::permissions("Data/liste", fs::perms::owner_read | fs::perms::group_read);
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit roomy = limit;
    limit.rlim_cur = 20;
    signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails instead of ending the test
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const bool replacedWithinTheLimit = replaceFile("Data/liste", content);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &roomy), 0);
    EXPECT_FALSE(replacedWithinTheLimit);
    EXPECT_EQ(dir.readFile("Data/liste"), "alt");
    EXPECT_EQ(std::distance(fs::directory_iterator("Data"), {}), 1) << "a temporary file was left behind";
    EXPECT_TRUE(replaceFile("Data/liste", content));
    EXPECT_EQ(dir.readFile("Data/liste"), content);
    EXPECT_EQ(fs::status("Data/liste").permissions(), fs::perms::owner_read | fs::perms::group_read);
}
