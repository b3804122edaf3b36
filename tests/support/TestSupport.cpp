#include "TestSupport.h"

#include <SDL_ttf.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

#include "gfx/Screen.h"
#include "gfx/Tileset.h"

namespace fs = std::filesystem;

namespace testing_support {

TempDataDir::TempDataDir()
    : TempDataDir({"boulder.ttf", "tileset.bmp", "icon.bmp", "Musik.wav", "glyphs.bmp", "glyphs.dat"})
{
}

TempDataDir::TempDataDir(const std::vector<std::string>& assets)
{
    std::string pattern = (fs::temp_directory_path() / "klakoria-test-XXXXXX").string();
    root = mkdtemp(pattern.data());
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

int DummyScreen::countWhere(const SDL_Rect& area, bool (*counts)(SDL_Color)) const
{
    int found = 0;
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x)
            found += counts(pixel(x, y));
    return found;
}

DummyScreen::DummyScreen(bool tileset) : ownsTileset(tileset)
{
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || (!TTF_WasInit() && TTF_Init() < 0) ||
        !(screenSurface = SDL_SetVideoMode(WindowWidth, WindowHeight, 32, SDL_SWSURFACE)))
        throw std::runtime_error(SDL_GetError());
    clear();
    if (tileset) {
        loadTileset();
        selectTileset(4);
    }
}

DummyScreen::~DummyScreen()
{
    if (ownsTileset) {
        freeTileset();
    }
    screenSurface = nullptr;
    TTF_Quit();
    SDL_Quit();
}

void DummyScreen::clear() { SDL_FillRect(screenSurface, nullptr, 0); }

SDL_Color DummyScreen::pixel(int x, int y) const
{
    SDL_Color colour{0, 0, 0, 0};
    if (x >= 0 && y >= 0 && x < screenSurface->w && y < screenSurface->h) {
        const auto* row = static_cast<const Uint8*>(screenSurface->pixels) + y * screenSurface->pitch;
        SDL_GetRGB(reinterpret_cast<const Uint32*>(row)[x], screenSurface->format, &colour.r, &colour.g, &colour.b);
    }
    return colour;
}

pid_t startProcess(const std::vector<std::string>& argv, const fs::path& cwd,
                   const std::map<std::string, std::string>& env, int outFd, int errFd, int timeoutSeconds)
{
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // a crashed test leaves no game or X server behind
    dup2(outFd, 1);
    dup2(errFd, 2);
    for (const auto& [key, value] : env)
        setenv(key.c_str(), value.c_str(), 1);
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    alarm(static_cast<unsigned>(timeoutSeconds));  // survives exec; 0 sets none
    if (chdir(cwd.c_str()) == 0)
        execvp(args[0], args.data());
    _exit(127);
}

std::string contentsOf(int fd)
{
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = pread(fd, buffer, sizeof buffer, static_cast<off_t>(text.size()))) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    return text;
}

int exitStatus(int waitStatus) { return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus); }

ProcessResult runProcess(const std::vector<std::string>& argv, const fs::path& cwd,
                         const std::map<std::string, std::string>& env, int timeoutSeconds)
{
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    const pid_t pid = startProcess(argv, cwd, env, fileno(out), fileno(err), timeoutSeconds);
    // SDL ignores SIGALRM once initialised, so a game that hangs after that is killed from here.
    const int exited = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    pollfd ends{exited, POLLIN, 0};
    if (exited >= 0 && poll(&ends, 1, timeoutSeconds > 0 ? 1000 * timeoutSeconds : -1) == 0)
        kill(pid, SIGKILL);
    close(exited);
    int status = 0;
    waitpid(pid, &status, 0);
    ProcessResult result{exitStatus(status), contentsOf(fileno(out)), contentsOf(fileno(err))};
    std::fclose(out);
    std::fclose(err);
    return result;
}

void writeBmp(const fs::path& file, int width, int height, const std::function<SDL_Color(int x, int y)>& colourAt)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const SDL_Color c = colourAt(x, y);
            auto* pixel = static_cast<Uint8*>(surface->pixels) + y * surface->pitch + 3 * x;
            pixel[0] = c.r;
            pixel[1] = c.g;
            pixel[2] = c.b;
        }
    SDL_SaveBMP(surface, file.c_str());
    SDL_FreeSurface(surface);
}

}  // namespace testing_support
