// The real game's window, its first frame, its idle loop, and the endings that come from outside
// the game (Escape is how every other end-to-end test ends).
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "E2EHelpers.h"

using namespace e2e;

namespace {

// Processor time of all threads so far: utime and stime are the 12th and 13th fields after the
// command name, which may hold spaces and ends with the last ')'.
double cpuSeconds(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(in)), {});
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string skipped;
    for (int i = 0; i < 11; ++i)
        fields >> skipped;
    double user = 0, system = 0;
    fields >> user >> system;
    return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace

// Without an icon, so that the silence about it is checked on the way.
TEST(StartupE2E, TheTitledWindowIdlesAndEndsWithStatusZeroOnItsCloseRequestAndOnSigterm)
{
    XvfbServer xserver;
    TempDataDir data{{"boulder.ttf", "tileset.bmp", "Musik.wav"}};
    for (const bool closeRequest : {true, false}) {
        SCOPED_TRACE(closeRequest ? "close request" : "SIGTERM");
        GameProcess game(xserver, data.path());
        ASSERT_TRUE(game.hasWindow()) << "no window titled Klakoria\n" << game.output();
        ASSERT_TRUE(game.waitFor(mainMenuShown)) << game.output();
        const Screenshot shot = game.screenshot();
        EXPECT_EQ(shot.width, 800);
        EXPECT_EQ(shot.height, 600);
        if (closeRequest) {
            // Not a timing test: a spinning loop burns a whole core, an idle one next to nothing.
            const double before = cpuSeconds(game.pid());
            std::this_thread::sleep_for(std::chrono::seconds(3));
            EXPECT_LT(cpuSeconds(game.pid()) - before, 0.15) << "processor seconds in 3 s of the main menu";
            game.requestClose();
        } else {
            game.terminate();
        }
        EXPECT_EQ(game.waitForExit(), 0) << game.output();
        EXPECT_EQ(game.output(), "");
    }
}
