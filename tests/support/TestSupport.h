#pragma once
#include <SDL.h>

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
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
    TempDataDir();
    explicit TempDataDir(const std::vector<std::string>& assets);  // e.g. {"boulder.ttf"}
    ~TempDataDir();
    TempDataDir(const TempDataDir&) = delete;
    TempDataDir& operator=(const TempDataDir&) = delete;

    const std::filesystem::path& path() const { return root; }
    std::filesystem::path data() const { return root / "Data"; }
    std::string readFile(const std::string& relative) const;  // "" when missing
    void writeFile(const std::string& relative, const std::string& bytes) const;
    bool exists(const std::string& relative) const { return std::filesystem::exists(root / relative); }

private:
    std::filesystem::path root;
    std::filesystem::path previous;
};

// Pixel queries shared by the dummy screen and the screenshots of the real window.
class PixelView {
public:
    virtual ~PixelView() = default;
    virtual SDL_Color pixel(int x, int y) const = 0;  // black outside
    bool isRed(int x, int y) const;                   // a glyph pixel: much more red than green and blue
    int countRed(const SDL_Rect& area) const;
    int countNonBlack(const SDL_Rect& area) const;
};

// SDL video (dummy driver, 32 bits per pixel) and SDL_ttf for one test; sets screenSurface.
// With tileset = true it also loads the tile sheet and creates tileRects (set 4 selected).
class DummyScreen : public PixelView {
public:
    explicit DummyScreen(bool tileset = false);
    ~DummyScreen() override;
    DummyScreen(const DummyScreen&) = delete;
    DummyScreen& operator=(const DummyScreen&) = delete;

    void clear();  // whole screen black
    SDL_Color pixel(int x, int y) const override;

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
    bool contains(const std::string& text) const { return find(text) != nullptr; }
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
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};
// Runs argv in cwd with extra environment entries; after timeoutSeconds the kernel ends it (SIGALRM).
ProcessResult runProcess(const std::vector<std::string>& argv, const std::filesystem::path& cwd,
                         const std::map<std::string, std::string>& env = {}, int timeoutSeconds = 60);
// The same without waiting: standard output and error go to the given descriptors.
pid_t startProcess(const std::vector<std::string>& argv, const std::filesystem::path& cwd,
                   const std::map<std::string, std::string>& env, int outFd, int errFd, int timeoutSeconds = 0);
std::string contentsOf(int fd);  // the whole file behind a descriptor, from its start
int exitStatus(int waitStatus);  // the exit status, or 128 + signal

// Path of the real game binary and of the generated assets.
std::string gameBinary();
std::filesystem::path assetDir();

// Writes a 24-bit BMP of width x height whose pixel (x, y) has the colour colourAt(x, y).
using PixelPainter = std::function<SDL_Color(int x, int y)>;
void writeBmp(const std::filesystem::path& file, int width, int height, const PixelPainter& colourAt);

}  // namespace testing_support
