// The real game in an X server of its own: its window, its first frame, and the three ways to
// end it.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "TestSupport.h"

using namespace testing_support;

class StartupE2E : public testing::Test {
protected:
    XvfbServer xserver;
    TempDataDir data;
};

TEST_F(StartupE2E, TheWindowShowsTheRedTitleAndEscapeEndsWithStatusZero)
{
    GameProcess game(xserver, data.path());
    ASSERT_TRUE(game.hasWindow()) << game.standardError();
    ASSERT_TRUE(game.waitForMainMenu()) << game.standardError();
    const Screenshot shot = game.screenshot();
    EXPECT_EQ(shot.width, 800);
    EXPECT_EQ(shot.height, 600);
    EXPECT_EQ(shot.countRed(SDL_Rect{0, 500, 800, 100}) > 0, true) << "the music label at the bottom";
    game.pressKey("Escape");
    EXPECT_EQ(game.waitForExit(), 0) << game.standardError();
}

TEST_F(StartupE2E, TheWindowsCloseRequestEndsWithStatusZero)
{
    GameProcess game(xserver, data.path());
    ASSERT_TRUE(game.waitForMainMenu()) << game.standardError();
    game.requestClose();
    EXPECT_EQ(game.waitForExit(), 0) << game.standardError();
}

TEST_F(StartupE2E, SigtermEndsWithStatusZero)
{
    GameProcess game(xserver, data.path());
    ASSERT_TRUE(game.waitForMainMenu()) << game.standardError();
    game.terminate();
    EXPECT_EQ(game.waitForExit(), 0) << game.standardError();
}

TEST_F(StartupE2E, WithoutAnIconTheGameStartsSilently)
{
    std::filesystem::remove(data.data() / "icon.bmp");
    GameProcess game(xserver, data.path());
    ASSERT_TRUE(game.waitForMainMenu()) << game.standardError();
    game.pressKey("Escape");
    EXPECT_EQ(game.waitForExit(), 0);
    EXPECT_EQ(game.standardError(), "");
}

// Not a timing test: a spinning loop burns a whole core, an idle one next to nothing. Three
// seconds of the main menu must cost well under five percent of one core.
TEST_F(StartupE2E, TheIdleMainMenuDoesNotSpin)
{
    GameProcess game(xserver, data.path());
    ASSERT_TRUE(game.waitForMainMenu()) << game.standardError();
    const double before = game.cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const double used = game.cpuSeconds() - before;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(used / wall, 0.05) << used << " s of processor time in " << wall << " s";
    game.pressKey("Escape");
    EXPECT_EQ(game.waitForExit(), 0);
}
