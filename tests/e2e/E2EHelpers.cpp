#include "E2EHelpers.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

// Last: Xlib defines macros such as None and Status.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace e2e {

namespace {

bool pollUntil(const std::function<bool()>& condition, int timeoutSeconds, int intervalMilliseconds = 50)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(intervalMilliseconds));
    }
    return true;
}

// A window that disappears between two requests is no reason to end the test.
int ignoreXErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

XvfbServer::XvfbServer()
{
    int ready[2];
    const int quiet = open("/dev/null", O_WRONLY);
    if (pipe(ready) != 0 || quiet < 0)
        throw std::runtime_error("pipe failed");
    const std::vector<std::string> command = {"Xvfb", "-displayfd", std::to_string(ready[1]), "-noreset",
                                              "-nolisten", "tcp", "-screen", "0", "1024x768x24"};
    pid = startProcess(command, ".", {}, quiet, quiet);
    close(ready[1]);
    close(quiet);
    // Xvfb writes the display number it chose once it accepts connections.
    char number[16] = {};
    pollfd input{ready[0], POLLIN, 0};
    if (poll(&input, 1, 30000) > 0 && read(ready[0], number, sizeof number - 1) > 0)
        name = ":" + std::to_string(std::atoi(number));
    close(ready[0]);
    if (name.empty())
        throw std::runtime_error("Xvfb did not start");
}

XvfbServer::~XvfbServer()
{
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

SDL_Color Screenshot::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return SDL_Color{0, 0, 0, 0};
    return pixels[static_cast<size_t>(y) * width + x];
}

GameProcess::GameProcess(const XvfbServer& server, const std::filesystem::path& workDir)
    : display(server.display()), connection(XOpenDisplay(display.c_str())), log(std::tmpfile())
{
    XSetErrorHandler(ignoreXErrors);
    if (!connection || !log)
        throw std::runtime_error("no X connection or log file");
    const std::map<std::string, std::string> environment = {
        {"DISPLAY", display}, {"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"}};
    child = startProcess({gameBinary()}, workDir, environment, fileno(log), fileno(log));
    const std::vector<std::string> search = {"xdotool", "search", "--onlyvisible", "--name", "^Klakoria$"};
    pollUntil([&] {
        window = std::strtoul(runProcess(search, ".", {{"DISPLAY", display}}, 10).out.c_str(), nullptr, 10);
        return window != 0 || !running();
    }, 60, 100);
}

GameProcess::~GameProcess()
{
    if (running()) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    XCloseDisplay(connection);
    std::fclose(log);
}

Screenshot GameProcess::screenshot() const
{
    Screenshot shot;
    XWindowAttributes attributes;
    if (!window || !XGetWindowAttributes(connection, window, &attributes))
        return shot;
    XImage* image = XGetImage(connection, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return shot;
    shot.width = attributes.width;
    shot.height = attributes.height;
    // The server's depth is 24: eight bits per channel.
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const unsigned long value = XGetPixel(image, x, y);
            shot.pixels.push_back(SDL_Color{static_cast<Uint8>(value >> 16), static_cast<Uint8>(value >> 8),
                                            static_cast<Uint8>(value), 0});
        }
    XDestroyImage(image);
    return shot;
}

bool GameProcess::waitFor(const Condition& condition, int timeoutSeconds) const
{
    return pollUntil([&] { return condition(screenshot()); }, timeoutSeconds, 100);
}

bool GameProcess::walk(const std::vector<std::pair<Point, Condition>>& route) const
{
    for (const auto& [at, next] : route) {
        click(at);
        if (!waitFor(next))
            return false;
    }
    return true;
}

void GameProcess::xdotool(std::vector<std::string> arguments) const
{
    arguments.insert(arguments.begin(), {"xdotool", "mousemove", "--window", std::to_string(window)});
    runProcess(arguments, ".", {{"DISPLAY", display}}, 30);
}

void GameProcess::click(Point at, int button) const
{
    xdotool({std::to_string(at.first), std::to_string(at.second), "click", std::to_string(button)});
}

void GameProcess::pressKey(const std::string& keyName) const { xdotool({"1", "1", "key", keyName}); }

void GameProcess::type(const std::string& utf8Text) const
{
    xdotool({"1", "1", "type", "--delay", "30", "--", utf8Text});
}

void GameProcess::requestClose() const
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(connection, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(connection, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(connection, window, False, NoEventMask, &event);
    XSync(connection, False);
}

void GameProcess::terminate() const { kill(child, SIGTERM); }

bool GameProcess::running()
{
    int raw = 0;
    if (status < 0 && waitpid(child, &raw, WNOHANG) == child)
        status = exitStatus(raw);
    return status < 0;
}

int GameProcess::waitForExit(int timeoutSeconds)
{
    pollUntil([this] { return !running(); }, timeoutSeconds);
    return status;
}

std::string GameProcess::output() const { return contentsOf(fileno(log)); }

// ---- Reading the board by pixels ----

Picture pictureOf(const Screenshot& shot)
{
    Picture picture;
    for (int column = 0; column < Columns; ++column)
        for (int row = 0; row < Rows; ++row)
            picture.push_back(fingerprint(shot, column * Tile, row * Tile));
    return picture;
}

uint64_t fingerprint(const Screenshot& shot, int x, int y)
{
    uint64_t hash = 1469598103934665603ULL;
    for (int dy = 0; dy < Tile; ++dy)
        for (int dx = 0; dx < Tile; ++dx) {
            const SDL_Color c = shot.pixel(x + dx, y + dy);
            for (const Uint8 channel : {c.r, c.g, c.b})
                hash = (hash ^ channel) * 1099511628211ULL;
        }
    return hash;
}

const uint64_t Empty = fingerprint(Screenshot{}, 0, 0);  // black all over

int emptyCells(const Picture& picture, int firstRow, int lastRow)
{
    int count = 0;
    for (int column = 0; column < Columns; ++column)
        for (int row = firstRow; row <= lastRow; ++row)
            count += at(picture, column, row) == Empty;
    return count;
}

std::set<uint64_t> tileLooks(const Picture& picture)
{
    std::set<uint64_t> looks(picture.begin(), picture.end());
    looks.erase(Empty);
    return looks;
}

std::optional<Point> tileOfAGroup(const Picture& picture)
{
    for (int column = 0; column < Columns; ++column)
        for (int row = 0; row < Rows; ++row) {
            const uint64_t look = at(picture, column, row);
            if (look != Empty && ((column + 1 < Columns && look == at(picture, column + 1, row)) ||
                                  (row + 1 < Rows && look == at(picture, column, row + 1))))
                return Point{column * Tile + Tile / 2, row * Tile + Tile / 2};
        }
    return std::nullopt;
}

bool settled(const Picture& picture, bool atTheBottom, int firstRow)
{
    for (int column = 0; column < Columns; ++column) {
        int runs = 0;
        for (int row = firstRow; row < Rows; ++row)
            runs += at(picture, column, row) != Empty && (row == firstRow || at(picture, column, row - 1) == Empty);
        if (runs > 1 || (atTheBottom && runs == 1 && at(picture, column, Rows - 1) == Empty))
            return false;
    }
    return true;
}

}  // namespace e2e
