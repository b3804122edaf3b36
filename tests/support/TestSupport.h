#pragma once
#include <SDL.h>

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "system/Clock.h"
#include "gfx/Text.h"

namespace testing_support {

// A fresh temporary working directory whose Data/ links the generated assets (all, or those
// named); the old working directory comes back and the folder goes when destroyed.
struct TempDataDir {
    TempDataDir();
    explicit TempDataDir(const std::vector<std::string>& assets);
    ~TempDataDir();

    const std::filesystem::path& path() const { return root; }
    std::filesystem::path data() const { return root / "Data"; }
    std::string readFile(const std::string& relative) const  // "" when missing
    {
        std::ifstream in(root / relative, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void writeFile(const std::string& relative, const std::string& bytes) const
    {
        std::ofstream(root / relative, std::ios::binary | std::ios::trunc) << bytes;
    }

    std::filesystem::path root;
    std::filesystem::path previous;
};

// SDL video (dummy driver, 32 bits per pixel) and SDL_ttf for one test; with tileset = true also
// the tile sheet and tileRects, set 4 selected.
struct DummyScreen {
    explicit DummyScreen(bool tileset = false);
    ~DummyScreen();
    void clear();  // whole screen black
    SDL_Color pixel(int x, int y) const;  // black outside
    int countWhere(const SDL_Rect& area, bool (*counts)(SDL_Color)) const;
    int countRed(const SDL_Rect& area) const  // glyphs: strongly red
    {
        return countWhere(area, [](SDL_Color c) { return c.r > 96 && c.g < 40 && c.b < 40; });
    }
    int countNonBlack(const SDL_Rect& area) const
    {
        return countWhere(area, [](SDL_Color c) { return (c.r | c.g | c.b) != 0; });
    }
    bool ownsTileset;
};

struct TextRecorder {  // every drawText call while it lives
    TextRecorder() { setTextObserver([this](const DrawnText& text) { texts.push_back(text); }); }
    ~TextRecorder() { setTextObserver({}); }
    const DrawnText* find(const std::string& text) const
    {
        for (const auto& t : texts)
            if (t.text == text)
                return &t;
        return nullptr;
    }
    std::vector<DrawnText> texts;
};

// The game clock reads a value the test sets, and the removal animation does not wait.
struct FakeClock {
    explicit FakeClock(uint32_t start = 100000)
    {
        ticks = start;
        setTickSource([] { return ticks; });
        setAnimationWaits(false);
    }
    ~FakeClock()
    {
        setTickSource(nullptr);
        setAnimationWaits(true);
    }
    void set(uint32_t value) { ticks = value; }
    void advance(uint32_t milliseconds) { ticks += milliseconds; }
    static inline uint32_t ticks = 0;
};

struct ProcessResult {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};
// Runs argv in cwd with extra environment entries; after timeoutSeconds it is ended (SIGALRM, or
// SIGKILL where that is ignored).
ProcessResult runProcess(const std::vector<std::string>& argv, const std::filesystem::path& cwd,
                         const std::map<std::string, std::string>& env = {}, int timeoutSeconds = 60);
// Without waiting: standard output and error go to the given descriptors.
pid_t startProcess(const std::vector<std::string>& argv, const std::filesystem::path& cwd,
                   const std::map<std::string, std::string>& env, int outFd, int errFd, int timeoutSeconds = 0);
std::string contentsOf(int fd);  // the whole file behind a descriptor
int exitStatus(int waitStatus);  // the exit status, or 128 + signal

inline std::string gameBinary() { return KLAKORIA_BINARY; }
inline std::filesystem::path assetDir() { return KLAKORIA_ASSET_DIR; }

// A 24-bit BMP whose pixel (x, y) has the colour colourAt(x, y).
void writeBmp(const std::filesystem::path& file, int width, int height,
              const std::function<SDL_Color(int x, int y)>& colourAt);

}  // namespace testing_support
