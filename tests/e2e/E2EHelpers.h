#pragma once
// The real game in an X server of its own: screenshots, real input through xdotool, where the
// labels are, and how each screen looks. Every wait polls with a generous deadline and never
// fails by itself: check what it returns.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <utility>

#include "TestSupport.h"

struct _XDisplay;

namespace e2e {

using namespace testing_support;
using Point = std::pair<int, int>;

constexpr int Columns = 25;
constexpr int Rows = 18;
constexpr int Tile = 32;
// The machine is shared and the sanitized build is slow: waits are generous, they end early.
constexpr int Patience = 40;

// Where a click lands safely inside each label: its top edge plus about half its height.
constexpr Point Spielen{400, 145}, TileSetButton{400, 195}, HighscoresButton{400, 245}, InfoButton{400, 295};
constexpr Point Bottom{400, 587};  // "zurück zum Menü", "weiter", "(pause)", the music label
constexpr Point EndeBelowGame{215, 586}, Ja{312, 215}, Nein{500, 215};
constexpr Point variantChoice(int variant) { return {400, 118 + 100 * variant}; }
constexpr Point choice(int index) { return {400, 118 + 50 * index}; }  // a colour count or a difficulty
constexpr Point highscoreChoice(int variant) { return {400, 128 + 50 * variant}; }
constexpr Point preview(int set) { return {94 + 150 * set, 260}; }
// The main menu's "Ende" (size 30, centred, top at y 330) lies inside this box.
inline bool onEnde(Point at) { return at.first >= 330 && at.first < 470 && at.second >= 325 && at.second < 380; }

// Xvfb on a display number that it picks itself; killed by the destructor.
class XvfbServer {
public:
    XvfbServer();
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    const std::string& display() const { return name; }  // e.g. ":17"

private:
    pid_t pid = -1;
    std::string name;
};

// The pixels of the window as RGB, row by row.
struct Screenshot : PixelView {
    int width = 0;
    int height = 0;
    std::vector<SDL_Color> pixels;
    SDL_Color pixel(int x, int y) const override;
};
using Condition = std::function<bool(const Screenshot&)>;

// The real game binary in workDir on the server, with the dummy audio driver. The constructor
// waits for the mapped window titled "Klakoria"; the destructor kills the game if it still runs.
// xdotool moves the pointer onto the window before each input: without a window manager, keys
// reach the window under the pointer.
class GameProcess {
public:
    GameProcess(const XvfbServer& server, const std::filesystem::path& workDir);
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    pid_t pid() const { return child; }
    bool hasWindow() const { return window != 0; }
    Screenshot screenshot() const;
    bool waitFor(const Condition& condition, int timeoutSeconds = Patience) const;
    // Clicks each point in turn and waits for the screen it leads to; false at the first that does
    // not appear.
    bool walk(const std::vector<std::pair<Point, Condition>>& route) const;

    void click(Point at, int button = 1) const;
    void pressKey(const std::string& keyName) const;  // an X keysym name: "Escape", "BackSpace"
    void type(const std::string& utf8Text) const;
    void requestClose() const;  // the close button of a window manager: WM_DELETE_WINDOW
    void terminate() const;     // SIGTERM

    bool running();
    int waitForExit(int timeoutSeconds = Patience);  // the exit status, -1 while it runs
    std::string output() const;                       // standard output and error so far

private:
    void xdotool(std::vector<std::string> arguments) const;

    std::string display;
    _XDisplay* connection;
    FILE* log;
    pid_t child = -1;
    int status = -1;
    unsigned long window = 0;
};

// Tiles of one colour are the same image, so two cells share a fingerprint exactly when they show
// the same colour. (x, y) is the top-left pixel of a tile-sized square.
uint64_t fingerprint(const Screenshot& shot, int x, int y);
extern const uint64_t Empty;  // the fingerprint of an empty cell
// One fingerprint per cell, in the game's cell order (column by column).
using Picture = std::vector<uint64_t>;
Picture pictureOf(const Screenshot& shot);
inline uint64_t at(const Picture& picture, int column, int row)
{
    return picture[static_cast<size_t>(column * Rows + row)];
}
int emptyCells(const Picture& picture, int firstRow = 0, int lastRow = Rows - 1);
std::set<uint64_t> tileLooks(const Picture& picture);  // the distinct tiles on the board
// The centre of a tile with a right-hand or lower neighbour of its colour: a click there removes a group.
std::optional<Point> tileOfAGroup(const Picture& picture);
// Every column's tiles from firstRow down stand together (at the bottom when asked): a screen taken
// during the removal animation still has holes where the group was.
bool settled(const Picture& picture, bool atTheBottom, int firstRow = 0);

// The red title, and nothing in the gaps below it and below the last button, where a result screen
// has its lines.
inline bool mainMenuShown(const Screenshot& s)
{
    return s.countRed({150, 10, 500, 80}) > 500 && s.countNonBlack({0, 85, 800, 45}) == 0 &&
           s.countNonBlack({0, 365, 800, 205}) == 0;
}
// The explanation lines of the last variant stand where no other menu screen has text.
inline bool variantScreenShown(const Screenshot& s) { return s.countRed({0, 440, 800, 40}) > 100; }
inline bool boardShown(const Screenshot& s) { return s.countNonBlack({0, 0, 800, 576}) > 100000; }
inline bool fullBoardShown(const Screenshot& s) { return boardShown(s) && emptyCells(pictureOf(s)) == 0; }
// "Wirklich beenden" with "Ja" and "Nein" below it, on an otherwise black window.
inline bool confirmationShown(const Screenshot& s)
{
    return s.countRed({200, 150, 400, 45}) > 300 && s.countNonBlack({0, 0, 800, 150}) == 0 &&
           s.countNonBlack({0, 240, 800, 360}) == 0;
}

}  // namespace e2e
