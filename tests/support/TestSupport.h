#pragma once
#include <SDL.h>

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gfx/Text.h"

namespace testing_support {

// A fresh temporary folder that becomes the working directory, with Data/ holding links to
// the generated assets (all of them, or only those named). Restores the old directory and
// removes the folder when destroyed.
class TempDataDir {
public:
    TempDataDir();                                        // every generated asset
    explicit TempDataDir(const std::vector<std::string>& assets);  // only these, e.g. {"boulder.ttf"}
    ~TempDataDir();
    TempDataDir(const TempDataDir&) = delete;
    TempDataDir& operator=(const TempDataDir&) = delete;

    const std::filesystem::path& path() const { return root; }
    std::filesystem::path data() const { return root / "Data"; }
    std::string readFile(const std::string& relative) const;            // "" when missing
    void writeFile(const std::string& relative, const std::string& bytes) const;
    bool exists(const std::string& relative) const;

private:
    std::filesystem::path root;
    std::filesystem::path previous;
};

// SDL video (dummy driver, 32 bits per pixel) and SDL_ttf for one test; sets screenSurface.
// With tileset = true it also loads the tile sheet and creates tileRects (set 4 selected).
class DummyScreen {
public:
    explicit DummyScreen(bool tileset = false);
    ~DummyScreen();
    DummyScreen(const DummyScreen&) = delete;
    DummyScreen& operator=(const DummyScreen&) = delete;

    void clear();  // whole screen black
    SDL_Color pixel(int x, int y) const;
    bool isRed(int x, int y) const;  // a glyph pixel: much more red than green and blue
    int countRed(const SDL_Rect& area) const;
    int countNonBlack(const SDL_Rect& area) const;

private:
    bool ownsTileset;
};

// Records every drawText call while it lives.
class TextRecorder {
public:
    TextRecorder();
    ~TextRecorder();
    std::vector<DrawnText> texts;
    void clear() { texts.clear(); }
    bool contains(const std::string& text) const;
    const DrawnText* find(const std::string& text) const;  // first with this exact text
};

// Replaces the game clock with a value the test sets; restores SDL_GetTicks when destroyed.
// Also switches the waits of the removal animation off while it lives.
class FakeClock {
public:
    explicit FakeClock(uint32_t start = 100000);
    ~FakeClock();
    void set(uint32_t ticks);
    void advance(uint32_t milliseconds);
    uint32_t now() const;
};

struct ProcessResult {
    int status = -1;      // exit status, or 128 + signal
    std::string out;
    std::string err;
};
// Runs argv in cwd with extra environment entries, waits at most timeoutSeconds (then kills).
ProcessResult runProcess(const std::vector<std::string>& argv, const std::filesystem::path& cwd,
                         const std::map<std::string, std::string>& env = {}, int timeoutSeconds = 60);

// Path of the real game binary, of the generated assets and of the close-window helper.
std::string gameBinary();
std::filesystem::path assetDir();
std::string closeWindowHelper();

// Writes a 24-bit BMP of width x height whose pixel (x, y) has the colour colourAt(x, y).
using PixelPainter = std::function<SDL_Color(int x, int y)>;
void writeBmp(const std::filesystem::path& file, int width, int height, const PixelPainter& colourAt);

// ---- End-to-end tests: the real game in an X server of its own -------------------------------
//
//   XvfbServer x;                                   // a fresh Xvfb on a free display
//   TempDataDir data;                               // the working directory with Data/
//   GameProcess game(x, data.path());               // starts the game, waits for its window
//   game.waitForScreen([](const Screenshot& s) { return s.countRed({200, 10, 400, 80}) > 500; });
//   game.click(400, 145);                           // window coordinates, left button
//   game.pressKey("Escape");
//   EXPECT_EQ(game.waitForExit(), 0);
//
// Every wait polls with a generous deadline and never fails by itself: check what it returns.

// Xvfb on a display number that it picks itself (-displayfd), ready to accept connections when
// the constructor returns; killed by the destructor.
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

// The pixels of a window as RGB, read with XGetImage.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<SDL_Color> pixels;  // row by row

    SDL_Color pixel(int x, int y) const;  // black outside
    bool isRed(int x, int y) const;       // a glyph pixel: much more red than green and blue
    int countRed(const SDL_Rect& area) const;
    int countNonBlack(const SDL_Rect& area) const;
};

struct GameOptions {
    // Leak checking of the sanitized build at the end of the process. Switch it off for a run
    // that ends with exit() on purpose ("Ende", a fatal message): what is still allocated then
    // is not lost.
    bool checkLeaks = true;
    std::map<std::string, std::string> environment;  // extra variables for the game
};

// The real game binary, started in workDir on the given X server (with the dummy audio driver).
// The constructor waits until the window titled "Klakoria" is mapped; the destructor kills the
// game if it still runs. Input goes through xdotool, which moves the pointer onto the window
// first: there is no window manager, keys reach the window under the pointer.
class GameProcess {
public:
    GameProcess(const XvfbServer& server, const std::filesystem::path& workDir, GameOptions options = {});
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    pid_t pid() const { return child; }
    unsigned long window() const { return windowId; }  // the top-level window, 0 if none appeared
    bool hasWindow() const { return windowId != 0; }

    Screenshot screenshot() const;
    // Polls screenshots until condition holds; returns false after timeoutSeconds.
    bool waitForScreen(const std::function<bool(const Screenshot&)>& condition, int timeoutSeconds = 30) const;
    // The title of the main menu is red at the top: the first frame is on screen.
    bool waitForMainMenu(int timeoutSeconds = 30) const;

    void click(int x, int y, int button = 1) const;    // window coordinates
    void pressKey(const std::string& keyName) const;   // an X keysym name: "Escape", "BackSpace", "a"
    void type(const std::string& utf8Text) const;      // each character as a key press
    void requestClose() const;                         // the close button of a window manager
    void terminate() const;                            // SIGTERM

    // The exit status (128 + signal when killed), or -1 if still running after timeoutSeconds.
    int waitForExit(int timeoutSeconds = 30);
    bool running();
    std::string standardError() const;   // everything written so far
    std::string standardOutput() const;
    // Processor time of all threads so far, from /proc/<pid>/stat.
    double cpuSeconds() const;

private:
    void xdotool(const std::vector<std::string>& arguments) const;

    std::string display;
    std::filesystem::path logDir;
    pid_t child = -1;
    int status = -1;
    unsigned long windowId = 0;
};

// Finds the mapped top-level window with this title on the display; 0 when there is none.
unsigned long findWindow(const std::string& display, const std::string& title);

}  // namespace testing_support
