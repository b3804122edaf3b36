// The real game in an X server of its own, driven by xdotool and read back by screenshots. Every
// wait polls with a generous deadline (shared machine, slow sanitized build) and ends early.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <thread>

#include "TestSupport.h"

// Last: Xlib defines macros such as None and Status.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace testing_support;

namespace {

using Point = std::pair<int, int>;
constexpr int Columns = 25, Rows = 18, Tile = 32, Patience = 40;

// Where a click lands safely inside each label.
constexpr Point Spielen{400, 145};
constexpr Point variantChoice(int variant) { return {400, 118 + 100 * variant}; }

bool pollUntil(const std::function<bool()>& condition, int seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!condition())
        if (std::this_thread::sleep_for(std::chrono::milliseconds(100)); std::chrono::steady_clock::now() > deadline)
            return false;
    return true;
}

struct Screenshot : PixelView {
    std::shared_ptr<XImage> image;  // none: black all over; else the whole picture, magnified scale times
    int scale = 1;
    SDL_Color pixel(int x, int y) const override { return shown(x * scale, y * scale); }
    SDL_Color shown(int x, int y) const  // a pixel of the magnified picture
    {
        const unsigned long value = image ? XGetPixel(image.get(), x, y) : 0;  // depth 24
        return SDL_Color{Uint8(value >> 16), Uint8(value >> 8), Uint8(value), 0};
    }
};
using Condition = std::function<bool(const Screenshot&)>;
using Route = std::vector<std::pair<Point, Condition>>;

// The game in workDir in an X server of its own, once its window titled "Klakoria" is mapped; killed at the end.
// Without a window manager keys go to the window under the pointer: every input moves it there.
struct Game {
    explicit Game(const std::filesystem::path& workDir, const std::vector<std::string>& options = {},
                  const std::string& screen = "1024x768")
        : number(std::tmpfile()), messages(std::tmpfile()), log(std::tmpfile())
    {
        // Xvfb picks a free display and writes its number once it accepts connections.
        xvfb = startProcess({"Xvfb", "-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0", screen + "x24"},
                            ".", {}, fileno(number), fileno(messages));
        EXPECT_TRUE(pollUntil([this] { return contentsOf(fileno(number)).ends_with('\n'); }, Patience));
        display = ":" + std::to_string(std::atoi(contentsOf(fileno(number)).c_str()));
        connection = XOpenDisplay(display.c_str());
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // the window may vanish between requests
        std::vector<std::string> command = {gameBinary()};
        command.insert(command.end(), options.begin(), options.end());
        child = startProcess(command, workDir,
                             {{"DISPLAY", display}, {"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"}},
                             fileno(log), fileno(log));
        window = std::strtoul(runProcess({"xdotool", "search", "--sync", "--onlyvisible", "--name", "^Klakoria$"}, ".",
                                         {{"DISPLAY", display}}, 60).out.c_str(), nullptr, 10);
    }
    ~Game()
    {
        if (running())
            kill(child, SIGKILL), waitpid(child, nullptr, 0);
        XCloseDisplay(connection), kill(xvfb, SIGKILL), waitpid(xvfb, nullptr, 0);
        for (FILE* file : {number, messages, log})
            std::fclose(file);
    }

    Screenshot screenshot() const  // black once the window is gone
    {
        Screenshot shot;
        shot.scale = view.scale;
        shot.image.reset(XGetImage(connection, view.drawable ? view.drawable : window, view.left, view.top,
                                   800u * unsigned(view.scale), 600u * unsigned(view.scale), AllPlanes, ZPixmap),
                         [](XImage* image) { image && XDestroyImage(image); });
        return shot;
    }
    // Where the picture is: in the game's window, or centred on the whole screen when fullscreen.
    struct View {
        int scale = 1;
        unsigned long drawable = 0;  // 0: the game's window
        int left = 0, top = 0;
    } view;
    void showsFullscreen(int width, int height, int scale)
    {
        view = {scale, DefaultRootWindow(connection), (width - 800 * scale) / 2, (height - 600 * scale) / 2};
    }
    bool waitFor(const Condition& shown) const { return pollUntil([&] { return shown(screenshot()); }, Patience); }
    bool walk(const Route& route) const
    {
        return std::all_of(route.begin(), route.end(), [this](const auto& step) {
            return click(step.first), waitFor(step.second);
        });
    }

    void click(Point at, int button = 1) const { xdotool(at, "click", std::to_string(button)); }
    void pressKey(const std::string& keySym) const { xdotool({1, 1}, "key", keySym); }
    void xdotool(Point at, const std::string& action, const std::string& argument) const
    {
        const int x = view.left + at.first * view.scale + view.scale / 2;
        const int y = view.top + at.second * view.scale + view.scale / 2;
        runProcess({"xdotool", "mousemove", "--window", std::to_string(view.drawable ? view.drawable : window),
                    std::to_string(x), std::to_string(y), action, argument}, ".", {{"DISPLAY", display}}, 30);
    }
    void requestClose() const  // what a window manager's close button sends
    {
        XEvent event{.xclient = {ClientMessage, 0, True, connection, window,
                                 XInternAtom(connection, "WM_PROTOCOLS", False), 32, {}}};
        event.xclient.data.l[0] = long(XInternAtom(connection, "WM_DELETE_WINDOW", False));
        XSendEvent(connection, window, False, NoEventMask, &event);
        XSync(connection, False);
    }

    bool running()
    {
        if (int raw = 0; status < 0 && waitpid(child, &raw, WNOHANG) == child)
            status = exitStatus(raw);
        return status < 0;
    }
    void expectQuietExit(int timeoutSeconds = Patience)
    {
        pollUntil([this] { return !running(); }, timeoutSeconds);
        EXPECT_EQ(status, 0) << output();
        EXPECT_EQ(output(), "");
    }
    std::string output() const { return contentsOf(fileno(log)); }  // standard output and error

    FILE *number, *messages, *log;
    pid_t xvfb, child = -1;
    std::string display;
    Display* connection;
    unsigned long window = 0;
    int status = -1;
};

// Tiles of one colour are one image: two cells share a fingerprint exactly when they show one colour.
uint64_t fingerprint(const Screenshot& shot, int x, int y)
{
    uint64_t hash = 0;
    for (int i = 0; i < Tile * Tile; ++i) {
        const SDL_Color c = shot.pixel(x + i % Tile, y + i / Tile);
        hash = hash * 1099511628211ULL + uint64_t(c.r << 16 | c.g << 8 | c.b);
    }
    return hash;
}
const uint64_t Empty = fingerprint(Screenshot{}, 0, 0);

using Picture = std::vector<std::vector<uint64_t>>;  // [column][row]: one fingerprint per cell
Picture pictureOf(const Screenshot& shot)
{
    Picture picture(Columns, std::vector<uint64_t>(Rows));
    for (int cell = 0; cell < Columns * Rows; ++cell)
        picture[cell / Rows][cell % Rows] = fingerprint(shot, cell / Rows * Tile, cell % Rows * Tile);
    return picture;
}

// The empty cells, or -1 while a column's tiles are not one run.
int emptyCells(const Picture& picture)
{
    const auto isTile = [](uint64_t look) { return look != Empty; };
    int count = 0;
    for (const auto& column : picture) {
        const auto gap = std::find(std::find_if(column.begin(), column.end(), isTile), column.end(), Empty);
        if (std::find_if(gap, column.end(), isTile) != column.end())
            return -1;
        count += int(std::count(column.begin(), column.end(), Empty));
    }
    return count;
}

// A tile with a right-hand or lower neighbour of its colour.
std::optional<Point> tileOfAGroup(const Picture& p)
{
    for (int c = 0; c < Columns; ++c)
        for (int r = 0; r < Rows; ++r)
            if (p[c][r] != Empty &&
                ((c + 1 < Columns && p[c][r] == p[c + 1][r]) || (r + 1 < Rows && p[c][r] == p[c][r + 1])))
                return Point{c * Tile + Tile / 2, r * Tile + Tile / 2};
    return std::nullopt;
}

// The screens by their look: red text in one area, nothing at all in others.
Condition redIn(SDL_Rect area, int atLeast, std::vector<SDL_Rect> blank = {})
{
    return [=](const Screenshot& s) {
        return s.countRed(area) >= atLeast &&
               std::all_of(blank.begin(), blank.end(), [&](const SDL_Rect& b) { return s.countNonBlack(b) == 0; });
    };
}
// The title, and nothing below it nor below the last button, where a result screen has lines.
const Condition mainMenuShown = redIn({150, 10, 500, 80}, 500, {{0, 85, 800, 45}, {0, 365, 800, 205}});
const Condition variantScreenShown = redIn({0, 440, 800, 40}, 100);
bool boardShown(const Screenshot& s) { return s.countNonBlack({0, 0, 800, 576}) > 100000; }
bool fullBoardShown(const Screenshot& s) { return boardShown(s) && emptyCells(pictureOf(s)) == 0; }

}  // namespace

// A real click on a group of the first board removes it and the rest settles; the window manager's close
// request and Escape end the game with status 0 and nothing said. At twice the size and fullscreen every
// pixel of the plain picture is a square of 2 x 2, a real click on a label or a tile does what it does at
// 1 x, and the window mode chosen holds at the next start.
TEST(E2E, PlayedByRealClicksAtOnceTwiceTheSizeAndFullscreenWhichHoldsAtTheNextStart)
{
    TempDataDir data;
    std::shared_ptr<XImage> plain;
    {
        Game game(data.path());
        ASSERT_TRUE(game.window && game.waitFor(mainMenuShown)) << game.output();
        plain = game.screenshot().image;
        ASSERT_TRUE(game.walk({{Spielen, variantScreenShown}, {variantChoice(0), fullBoardShown}})) << game.output();
        const auto tile = tileOfAGroup(pictureOf(game.screenshot()));
        ASSERT_TRUE(tile.has_value());
        game.click(*tile);
        EXPECT_TRUE(game.waitFor([](const Screenshot& s) { return boardShown(s) && emptyCells(pictureOf(s)) >= 2; }));
        game.requestClose();
        game.expectQuietExit();
    }
    const auto doubled = [&](const Screenshot& shot) {
        for (int y = 0; y < 1200; ++y)
            for (int x = 0; x < 1600; ++x)
                if (XGetPixel(shot.image.get(), x, y) != XGetPixel(plain.get(), x / 2, y / 2))
                    return false;
        return true;
    };
    const int width = 1800, height = 1300;  // fullscreen: a border of 100 and 50 pixels
    const std::string screen = std::to_string(width) + "x" + std::to_string(height);
    {
        Game game(data.path(), {"--scale", "2"}, screen);
        game.view.scale = 2;
        ASSERT_TRUE(game.window && game.waitFor(mainMenuShown)) << game.output();
        EXPECT_TRUE(doubled(game.screenshot()));
        ASSERT_TRUE(game.walk({{Spielen, variantScreenShown}, {variantChoice(0), fullBoardShown}})) << game.output();
        const Picture dealt = pictureOf(game.screenshot());
        const auto tile = tileOfAGroup(dealt);
        ASSERT_TRUE(tile.has_value());
        game.click(*tile);
        ASSERT_TRUE(game.waitFor([](const Screenshot& s) { return boardShown(s) && emptyCells(pictureOf(s)) >= 2; }));
        const Picture played = pictureOf(game.screenshot());
        game.pressKey("F11");
        game.showsFullscreen(width, height, 2);
        EXPECT_TRUE(game.waitFor([&](const Screenshot& s) { return pictureOf(s) == played; })) << game.output();
        game.pressKey("Escape");
        game.expectQuietExit();
    }
    Game game(data.path(), {}, screen);  // as the settings file says: fullscreen, at the largest factor
    game.showsFullscreen(width, height, 2);
    ASSERT_TRUE(game.waitFor(mainMenuShown)) << game.output();
    EXPECT_TRUE(doubled(game.screenshot()));
    game.view = {1, game.view.drawable, 0, 0};
    const Screenshot whole = game.screenshot();  // the top left of the screen
    EXPECT_EQ(whole.countNonBlack({0, 0, 100, 600}) + whole.countNonBlack({0, 0, 800, 50}), 0) << "a black border";
    EXPECT_GT(whole.countNonBlack({100, 50, 700, 550}), 0);
    game.showsFullscreen(width, height, 2);
    EXPECT_TRUE(game.walk({{Spielen, variantScreenShown}})) << "a click through the border's offset";
    game.pressKey("Escape");
    game.expectQuietExit();
}
