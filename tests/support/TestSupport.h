#pragma once
#include <SDL.h>

#include <cstdint>
#include <filesystem>
#include <map>
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

}  // namespace testing_support
