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
#include <random>
#include <set>
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
constexpr Point Spielen{400, 145}, TileSetButton{400, 195}, HighscoresButton{400, 245}, InfoButton{400, 295};
constexpr Point Bottom{400, 587};  // back to the menu, "weiter", "(pause)", the music label
constexpr Point EndeBelowGame{215, 586}, Ja{312, 215}, Nein{500, 215};
constexpr Point variantChoice(int variant) { return {400, 118 + 100 * variant}; }
constexpr Point choice(int index) { return {400, 118 + 50 * index}; }  // a colour count or a difficulty
constexpr Point preview(int set) { return {94 + 150 * set, 260}; }

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

// The empty cells from firstRow down, or -1 while a column's tiles are not one run (a Chaos run may end anywhere).
int emptyCells(const Picture& picture, int firstRow = 0)
{
    const auto isTile = [](uint64_t look) { return look != Empty; };
    int count = 0;
    for (const auto& column : picture) {
        const auto gap = std::find(std::find_if(column.begin() + firstRow, column.end(), isTile), column.end(), Empty);
        if (std::find_if(gap, column.end(), isTile) != column.end())
            return -1;
        count += int(std::count(column.begin() + firstRow, column.end(), Empty));
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
const Condition infoShown = redIn({0, 100, 800, 90}, 300, {{0, 10, 800, 80}});
const Condition confirmationShown = redIn({200, 150, 400, 45}, 300, {{0, 0, 800, 150}, {0, 240, 800, 360}});
const Condition pauseShown = redIn({0, 200, 800, 110}, 2000, {{0, 0, 800, 195}, {0, 330, 800, 270}});
// The lowest of four or three choices with nothing below it but the back button.
const Condition fourChoicesShown = redIn({0, 250, 800, 40}, 100, {{0, 300, 800, 270}});
const Condition threeChoicesShown = redIn({0, 200, 800, 40}, 100, {{0, 250, 800, 320}});
bool previewsShown(const Screenshot& s) { return s.countNonBlack({30, 200, 740, 128}) > 20000; }
bool boardShown(const Screenshot& s) { return s.countNonBlack({0, 0, 800, 576}) > 100000; }
bool fullBoardShown(const Screenshot& s) { return boardShown(s) && emptyCells(pictureOf(s)) == 0; }
bool fallDownDealt(const Screenshot& s) { return boardShown(s) && emptyCells(pictureOf(s), 3) == 0; }

// utime and stime: 12 and 13 fields after the command name's last ')'.
double cpuSeconds(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(in)), {});
    unsigned long user = 0, system = 0;
    sscanf(stat.c_str() + stat.rfind(')') + 2, "%*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %lu %lu", &user, &system);
    return double(user + system) / double(sysconf(_SC_CLK_TCK));
}

}  // namespace

// Without an icon, so that the silence about it is checked on the way; Escape ends the other tests.
TEST(StartupE2E, TheTitledWindowIdlesAndEndsWithStatusZeroOnItsCloseRequestAndOnSigterm)
{
    TempDataDir data{{"boulder.ttf", "tileset.bmp", "Musik.wav"}};
    for (const bool closeRequest : {true, false}) {
        SCOPED_TRACE(closeRequest ? "close request" : "SIGTERM");
        Game game(data.path());
        ASSERT_TRUE(game.window && game.waitFor(mainMenuShown)) << game.output();
        const double before = cpuSeconds(game.child);  // a spinning loop burns a whole core
        std::this_thread::sleep_for(std::chrono::seconds(3));
        EXPECT_LT(cpuSeconds(game.child) - before, 0.15);
        closeRequest ? game.requestClose() : void(kill(game.child, SIGTERM));
        game.expectQuietExit();
    }
}

TEST(PlayE2E, MenusATileSetAndEachVariantByRealClicksThenEscape)
{
    TempDataDir data;
    Game game(data.path());
    ASSERT_TRUE(game.window && game.waitFor(mainMenuShown)) << game.output();
    ASSERT_TRUE(game.walk({{Spielen, variantScreenShown}, {Bottom, mainMenuShown}, {TileSetButton, previewsShown}}));
    // A set's first two colours as its preview shows them: tile 0 leads row 0, tile 1 row 1.
    const auto firstTwoTiles = [shot = game.screenshot()](int set) {
        return std::set<uint64_t>{fingerprint(shot, 30 + 150 * set, 200), fingerprint(shot, 30 + 150 * set, 232)};
    };
    const auto chosenSet = firstTwoTiles(1);
    ASSERT_NE(chosenSet, firstTwoTiles(4));
    // Chosen, then the screen left once without a choice: the set must hold for the games below.
    ASSERT_TRUE(game.walk({{preview(1), mainMenuShown}, {TileSetButton, previewsShown}, {Bottom, mainMenuShown}}));

    enum Extra { DeclinedQuit, PauseAndResume, FeederFills, NoExtra };
    const struct { const char* name; size_t colours; Extra extra; Route route; } walks[] = {  // from "Spielen" on
        {"Standart Click", 2, DeclinedQuit, {{variantChoice(0), fullBoardShown}}},
        // Chaos with five colours; Speed at "Schwer", whose stock of points lasts longest against the draining clock.
        {"Chaos Click", 5, NoExtra, {{variantChoice(1), fourChoicesShown}, {choice(3), fullBoardShown}}},
        {"Speed Click", 2, PauseAndResume, {{variantChoice(2), threeChoicesShown}, {choice(2), fullBoardShown}}},
        {"FallDown", 4, FeederFills, {{variantChoice(3), fallDownDealt}}},
    };
    for (const auto& walk : walks) {
        SCOPED_TRACE(walk.name);
        ASSERT_TRUE(game.walk({{Spielen, variantScreenShown}}) && game.walk(walk.route)) << game.output();
        const Picture dealt = pictureOf(game.screenshot());
        std::set<uint64_t> looks;
        for (const auto& column : dealt)
            looks.insert(column.begin(), column.end());
        looks.erase(Empty);
        EXPECT_EQ(looks.size(), walk.colours);
        EXPECT_TRUE(walk.colours != 2 || looks == chosenSet);
        const auto tile = tileOfAGroup(dealt);
        ASSERT_TRUE(tile.has_value());
        game.click(*tile);
        const int firstRow = walk.extra == FeederFills;  // the feeder's row falls only once it is full
        ASSERT_TRUE(game.waitFor([&](const Screenshot& s) {  // the group gone and the rest settled
            return boardShown(s) && emptyCells(pictureOf(s), firstRow) >= emptyCells(dealt, firstRow) + 2;
        })) << game.output();
        const Picture played = pictureOf(game.screenshot());
        const Condition unchanged = [&](const Screenshot& s) { return boardShown(s) && pictureOf(s) == played; };
        const auto second = tileOfAGroup(played);
        // The resuming click on a group must only resume; FallDown's clock runs since its first click.
        const bool extraShown =
            walk.extra == DeclinedQuit     ? game.walk({{EndeBelowGame, confirmationShown}, {Nein, unchanged}})
            : walk.extra == PauseAndResume ? second && game.walk({{Bottom, pauseShown}, {*second, unchanged}})
            : walk.extra == FeederFills ? game.waitFor([](const Screenshot& s) { return pictureOf(s)[0][0] != Empty; })
                                        : true;
        ASSERT_TRUE(extraShown) << game.output();
        ASSERT_TRUE(game.walk({{EndeBelowGame, confirmationShown}, {Ja, mainMenuShown}})) << game.output();
    }
    ASSERT_TRUE(game.walk({{InfoButton, infoShown}, {Bottom, mainMenuShown}}));
    game.pressKey("Escape");
    game.expectQuietExit();
}

// At twice the size and fullscreen every pixel of the plain picture is a square of 2 x 2, a real click
// on a label or a tile does what it does at 1 x, and the window mode chosen holds at the next start.
TEST(ScaleE2E, TwiceTheSizeAndFullscreenShowThePlainPictureDoubledAndAChoiceHoldsAtTheNextStart)
{
    TempDataDir data;
    std::shared_ptr<XImage> plain;
    {
        Game game(data.path());
        ASSERT_TRUE(game.window && game.waitFor(mainMenuShown)) << game.output();
        plain = game.screenshot().image;
        game.pressKey("Escape");
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

// Biased toward the menu labels so that it gets into every variant. KLAKORIA_MONKEY_SECONDS (default 15)
// sets how long it plays, KLAKORIA_MONKEY_SEED (default: the time, printed on a failure) its choices.
TEST(MonkeyE2E, RandomClicksAndKeysLeaveTheProgramRunningAndEscapeEndsItWithStatusZero)
{
    const auto fromEnvironment = [](const char* name, long fallback) {
        return std::getenv(name) && *std::getenv(name) ? std::atol(std::getenv(name)) : fallback;
    };
    const auto seed = unsigned(fromEnvironment("KLAKORIA_MONKEY_SEED", time(nullptr)));
    SCOPED_TRACE("KLAKORIA_MONKEY_SEED=" + std::to_string(seed));
    std::mt19937 rng(seed);
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    const auto oneOf = [&](const auto& items) { return items[size_t(pick(0, int(items.size()) - 1))]; };
    std::vector<Point> labels = {Spielen, Spielen, TileSetButton, HighscoresButton, InfoButton,
                                 EndeBelowGame, Ja, Nein, Bottom};
    for (int i = 0; i < 5; ++i)  // the last of these: a highscore list's variant
        labels.insert(labels.end(), {variantChoice(i % 4), preview(i), choice(i % 4), Point{400, 128 + 50 * (i % 4)}});
    // Letters, Latin-1 letters, the list file's separator, and keys that edit or do nothing.
    const std::vector<std::string> keys = {"a", "7", "space", "adiaeresis", "semicolon", "BackSpace", "Return", "F1"};

    TempDataDir data;
    Game game(data.path());
    ASSERT_TRUE(game.window && game.waitFor(mainMenuShown)) << game.output();
    const auto end =
        std::chrono::steady_clock::now() + std::chrono::seconds(fromEnvironment("KLAKORIA_MONKEY_SECONDS", 15));
    while (std::chrono::steady_clock::now() < end && game.running()) {
        const int kind = pick(0, 99);
        const Point at = kind < 45 ? oneOf(labels) : Point{pick(0, 799), pick(0, kind < 75 ? 575 : 599)};
        // Right and middle buttons do nothing; the main menu's "Ende" would end the program on purpose.
        const bool onEnde = at.first >= 330 && at.first < 470 && at.second >= 325 && at.second < 380;
        if (kind >= 88)
            game.pressKey(oneOf(keys));
        else if (kind >= 85 || !onEnde)
            game.click(at, kind < 85 ? 1 : pick(2, 3));
    }
    ASSERT_TRUE(game.running()) << "ended with status " << game.status << "\n" << game.output();
    game.pressKey("Escape");
    game.expectQuietExit(60);
}
