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
    fs::permissions("Data/liste", fs::perms(0440));
    const rlimit twentyBytes{20, RLIM_INFINITY}, roomy{RLIM_INFINITY, RLIM_INFINITY};
    // A write beyond the limit fails instead of ending the test.
    signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &twentyBytes), 0);
    const bool replacedWithinTwentyBytes = replaceFile("Data/liste", content);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &roomy), 0);
    EXPECT_FALSE(replacedWithinTwentyBytes);
    EXPECT_EQ(dir.readFile("Data/liste"), "alt");
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator("Data"), {}), 1);
    EXPECT_TRUE(replaceFile("Data/liste", content));
    EXPECT_EQ(dir.readFile("Data/liste"), content);
    EXPECT_EQ(fs::status("Data/liste").permissions(), fs::perms(0440));
}
