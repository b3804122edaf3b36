// The real game in an X server of its own, driven by xdotool and read back by screenshots. Every wait polls
// for what it waits on; its deadline only bounds a failure.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <thread>

#include "TestSupport.h"

// Last: Xlib defines macros such as None and Status.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace testing_support;

namespace {

bool waitFor(const std::function<bool()>& condition)
{
    for (int i = 0; i < 600; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// The game in an X server of its own, once its window is mapped. Without a window manager keys go to the
// window under the pointer.
struct Game {
    Game()
    {
        xvfb = startProcess({"Xvfb", "-displayfd", "1"}, ".", {}, fileno(number), 2);
        EXPECT_TRUE(waitFor([this] { return contentsOf(fileno(number)).ends_with('\n'); }));
        display = {{"DISPLAY", ":" + std::to_string(std::stoi(contentsOf(fileno(number))))}};
        connection = XOpenDisplay(display["DISPLAY"].c_str());
        display["SDL_VIDEODRIVER"] = "x11";
        child = startProcess({gameBinary()}, data.path(), display, 1, 2);
        const std::vector<std::string> search = {"xdotool", "search", "--sync", "--onlyvisible", "--name",
                                                 "^Klakoria$"};
        window = std::stoul("0" + runProcess(search, ".", display).out);
    }
    ~Game()
    {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        XCloseDisplay(connection);
        kill(xvfb, SIGKILL);
        waitpid(xvfb, nullptr, 0);
        std::fclose(number);
    }
    // A click, or a key, with the pointer on a point of the picture.
    void at(int x, int y, const std::string& action, const std::string& what) const
    {
        runProcess({"xdotool", "mousemove", "--window", std::to_string(window), std::to_string(x), std::to_string(y),
                    action, what}, ".", display);
    }
    // The pixels of an area of the picture, as the X server shows them.
    std::string pixels(int x, int y, unsigned width, unsigned height) const
    {
        XImage* image = XGetImage(connection, window, x, y, width, height, AllPlanes, ZPixmap);
        std::string bytes(image->data, size_t(image->bytes_per_line * image->height));
        XDestroyImage(image);
        return bytes;
    }
    // Whether an area of the picture shows anything but black.
    bool lit(int x, int y) const { return pixels(x, y, 32, 16).find_first_not_of('\0') != std::string::npos; }
    void expectEnd()
    {
        int status = -1;
        EXPECT_TRUE(waitFor([&] { return waitpid(child, &status, WNOHANG) == child; }));
        EXPECT_EQ(exitStatus(status), 0);
    }

    TempDataDir data;
    FILE* number = std::tmpfile();
    std::map<std::string, std::string> display;
    pid_t xvfb;
    pid_t child;
    Display* connection;
    unsigned long window;
};

}  // namespace

// Real clicks lead to a game and remove a group of its first board; the window manager's close request ends
// the game with status 0, and so does Escape. (A click on the window twice the size: ApplicationTest.)
TEST(E2E, PlayedAndEndedByRealEvents)
{
    Game game;
    ASSERT_TRUE(waitFor([&] { return game.lit(384, 140); }));  // "Spielen"
    game.at(400, 145, "click", "1");
    ASSERT_TRUE(waitFor([&] { return game.lit(384, 440); }));  // the variants
    game.at(400, 118, "click", "1");
    ASSERT_TRUE(waitFor([&] { return game.lit(0, 560); }));  // the board
    int column = 0;  // the first tile of the bottom row that looks like its right neighbour: the same colour
    while (column < 23 && game.pixels(column * 32, 544, 32, 32) != game.pixels(column * 32 + 32, 544, 32, 32))
        ++column;
    game.at(column * 32 + 16, 560, "click", "1");
    EXPECT_TRUE(waitFor([&] { return !game.lit(column * 32, 0); }));  // the top of the column emptied
    XEvent close{.xclient = {ClientMessage, 0, True, game.connection, game.window,
                             XInternAtom(game.connection, "WM_PROTOCOLS", False), 32, {}}};
    close.xclient.data.l[0] = long(XInternAtom(game.connection, "WM_DELETE_WINDOW", False));
    XSendEvent(game.connection, game.window, False, NoEventMask, &close);
    XFlush(game.connection);
    game.expectEnd();
    Game again;
    ASSERT_TRUE(waitFor([&] { return again.lit(384, 140); }));
    again.at(1, 1, "key", "Escape");
    again.expectEnd();
}
