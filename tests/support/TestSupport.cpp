#include "TestSupport.h"

#include <SDL_ttf.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "app/Clock.h"
#include "gfx/Screen.h"
#include "gfx/Tileset.h"

namespace fs = std::filesystem;

namespace testing_support {

std::string gameBinary() { return KLAKORIA_BINARY; }
fs::path assetDir() { return KLAKORIA_ASSET_DIR; }
std::string closeWindowHelper() { return KLAKORIA_CLOSE_WINDOW; }

namespace {
const std::vector<std::string> allAssets = {"boulder.ttf", "tileset.bmp", "icon.bmp", "Musik.wav"};
}

TempDataDir::TempDataDir() : TempDataDir(allAssets) {}

TempDataDir::TempDataDir(const std::vector<std::string>& assets)
{
    std::string pattern = (fs::temp_directory_path() / "klakoria-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    root = pattern;
    fs::permissions(root, fs::perms::all);  // unprivileged test users must reach it too
    fs::create_directory(root / "Data");
    for (const auto& asset : assets)
        if (fs::exists(assetDir() / asset))
            fs::create_symlink(assetDir() / asset, root / "Data" / asset);
    previous = fs::current_path();
    fs::current_path(root);
}

TempDataDir::~TempDataDir()
{
    std::error_code ignored;
    fs::current_path(previous, ignored);
    fs::remove_all(root, ignored);
}

std::string TempDataDir::readFile(const std::string& relative) const
{
    std::ifstream in(root / relative, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void TempDataDir::writeFile(const std::string& relative, const std::string& bytes) const
{
    std::ofstream out(root / relative, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool TempDataDir::exists(const std::string& relative) const { return fs::exists(root / relative); }

DummyScreen::DummyScreen(bool tileset) : ownsTileset(tileset)
{
    if (SDL_Init(SDL_INIT_VIDEO) < 0)
        throw std::runtime_error(SDL_GetError());
    if (!TTF_WasInit() && TTF_Init() < 0)
        throw std::runtime_error(TTF_GetError());
    screenSurface = SDL_SetVideoMode(WindowWidth, WindowHeight, 32, SDL_SWSURFACE);
    if (!screenSurface)
        throw std::runtime_error(SDL_GetError());
    clear();
    if (tileset) {
        tileRects = new SDL_Rect[TileColourCount];
        for (int k = 0; k < TileColourCount; ++k)
            tileRects[k] = SDL_Rect{static_cast<Sint16>(32 * k), 0, 32, 32};
        loadTileset();
        selectTileset(4);
    }
}

DummyScreen::~DummyScreen()
{
    if (ownsTileset) {
        SDL_FreeSurface(tileSheet);
        tileSheet = nullptr;
        delete[] tileRects;
        tileRects = nullptr;
    }
    screenSurface = nullptr;
    TTF_Quit();
    SDL_Quit();
}

void DummyScreen::clear() { SDL_FillRect(screenSurface, nullptr, SDL_MapRGB(screenSurface->format, 0, 0, 0)); }

SDL_Color DummyScreen::pixel(int x, int y) const
{
    SDL_Color colour{0, 0, 0, 0};
    if (x < 0 || y < 0 || x >= screenSurface->w || y >= screenSurface->h)
        return colour;
    SDL_LockSurface(screenSurface);
    const auto* row = static_cast<const Uint8*>(screenSurface->pixels) + y * screenSurface->pitch;
    Uint32 value = reinterpret_cast<const Uint32*>(row)[x];
    SDL_UnlockSurface(screenSurface);
    SDL_GetRGB(value, screenSurface->format, &colour.r, &colour.g, &colour.b);
    return colour;
}

bool DummyScreen::isRed(int x, int y) const
{
    SDL_Color c = pixel(x, y);
    return c.r > 96 && c.g < 40 && c.b < 40;
}

int DummyScreen::countRed(const SDL_Rect& area) const
{
    int count = 0;
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x)
            count += isRed(x, y);
    return count;
}

int DummyScreen::countNonBlack(const SDL_Rect& area) const
{
    int count = 0;
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x) {
            SDL_Color c = pixel(x, y);
            count += (c.r | c.g | c.b) != 0;
        }
    return count;
}

TextRecorder::TextRecorder()
{
    setTextObserver([this](const DrawnText& text) { texts.push_back(text); });
}

TextRecorder::~TextRecorder() { setTextObserver({}); }

bool TextRecorder::contains(const std::string& text) const { return find(text) != nullptr; }

const DrawnText* TextRecorder::find(const std::string& text) const
{
    for (const auto& t : texts)
        if (t.text == text)
            return &t;
    return nullptr;
}

namespace {
uint32_t fakeTicks = 0;
uint32_t readFakeTicks() { return fakeTicks; }
}  // namespace

FakeClock::FakeClock(uint32_t start)
{
    fakeTicks = start;
    setTickSource(readFakeTicks);
    setAnimationWaits(false);
}

FakeClock::~FakeClock()
{
    setTickSource(nullptr);
    setAnimationWaits(true);
}

void FakeClock::set(uint32_t ticks) { fakeTicks = ticks; }
void FakeClock::advance(uint32_t milliseconds) { fakeTicks += milliseconds; }
uint32_t FakeClock::now() const { return fakeTicks; }

ProcessResult runProcess(const std::vector<std::string>& argv, const fs::path& cwd,
                         const std::map<std::string, std::string>& env, int timeoutSeconds)
{
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0)
        throw std::runtime_error("pipe failed");
    pid_t pid = fork();
    if (pid == 0) {
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        close(outPipe[0]);
        close(errPipe[0]);
        if (chdir(cwd.c_str()) != 0)
            _exit(126);
        for (const auto& [key, value] : env)
            setenv(key.c_str(), value.c_str(), 1);
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    ProcessResult result;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    bool killed = false;
    while (open > 0) {
        int ready = poll(fds, 2, 200);
        if (ready > 0) {
            for (int i = 0; i < 2; ++i) {
                if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                char buffer[4096];
                ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
                if (n > 0) {
                    sinks[i]->append(buffer, static_cast<size_t>(n));
                } else {
                    close(fds[i].fd);
                    fds[i].fd = -1;
                    --open;
                }
            }
        }
        if (!killed && std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            killed = true;
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

}  // namespace testing_support

namespace testing_support {

void writeBmp(const fs::path& file, int width, int height, const PixelPainter& colourAt)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
    if (!surface)
        throw std::runtime_error(SDL_GetError());
    SDL_LockSurface(surface);
    for (int y = 0; y < height; ++y) {
        auto* row = static_cast<Uint8*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < width; ++x) {
            const SDL_Color c = colourAt(x, y);
            row[3 * x] = c.r;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.b;
        }
    }
    SDL_UnlockSurface(surface);
    const int saved = SDL_SaveBMP(surface, file.c_str());
    SDL_FreeSurface(surface);
    if (saved != 0)
        throw std::runtime_error(SDL_GetError());
}

}  // namespace testing_support
