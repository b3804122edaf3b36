// The end-to-end fixture: an X server per test, the real game in it, screenshots and input.
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
#include <thread>

#include "TestSupport.h"

// Last: Xlib defines macros such as None and Status.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace fs = std::filesystem;

namespace testing_support {

namespace {

using Clock = std::chrono::steady_clock;

// Polls condition every few milliseconds until it holds or the deadline passes.
bool pollUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
               std::chrono::milliseconds interval = std::chrono::milliseconds(20))
{
    const auto deadline = Clock::now() + timeout;
    while (true) {
        if (condition())
            return true;
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(interval);
    }
}

// A window that disappears between two requests is no reason to end the test process.
int ignoreXErrors(Display*, XErrorEvent*) { return 0; }

class XConnection {
public:
    explicit XConnection(const std::string& name) : display(XOpenDisplay(name.c_str()))
    {
        XSetErrorHandler(ignoreXErrors);
    }
    ~XConnection()
    {
        if (display)
            XCloseDisplay(display);
    }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;
    Display* display;
};

bool isViewableWithTitle(Display* display, Window window, const std::string& title)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    char* name = nullptr;
    if (!XFetchName(display, window, &name) || !name)
        return false;
    const bool matches = title == name;
    XFree(name);
    return matches;
}

int channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const unsigned long maximum = mask >> shift;
    return static_cast<int>(((pixel & mask) >> shift) * 255 / maximum);
}

std::string readAll(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

fs::path makeTempDir(const char* prefix)
{
    std::string pattern = (fs::temp_directory_path() / (std::string(prefix) + "XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    return pattern;
}

}  // namespace

// ---- XvfbServer ------------------------------------------------------------------------------

XvfbServer::XvfbServer()
{
    int ready[2];
    if (pipe(ready) != 0)
        throw std::runtime_error("pipe failed");
    pid = fork();
    if (pid == 0) {
        close(ready[0]);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        // Put it in its own process group, so that a Ctrl-C meant for the test reaches it once.
        setpgid(0, 0);
        const std::string fd = std::to_string(ready[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-nolisten", "tcp", "-screen", "0",
               "1024x768x24", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    // Xvfb writes the display number it chose once it accepts connections.
    std::string number;
    pollfd input{ready[0], POLLIN, 0};
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (number.find('\n') == std::string::npos && Clock::now() < deadline) {
        if (poll(&input, 1, 200) <= 0)
            continue;
        char buffer[32];
        const ssize_t n = read(ready[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        number.append(buffer, static_cast<size_t>(n));
    }
    close(ready[0]);
    if (number.find('\n') == std::string::npos) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        throw std::runtime_error("Xvfb did not start");
    }
    name = ":" + number.substr(0, number.find('\n'));
    if (!pollUntil([this] { return XConnection(name).display != nullptr; }, std::chrono::seconds(10)))
        throw std::runtime_error("Xvfb on " + name + " refuses connections");
}

XvfbServer::~XvfbServer()
{
    kill(pid, SIGTERM);
    const bool ended = pollUntil([this] { return waitpid(pid, nullptr, WNOHANG) == pid; }, std::chrono::seconds(5));
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

unsigned long findWindow(const std::string& display, const std::string& title)
{
    XConnection x(display);
    if (!x.display)
        return 0;
    Window root = DefaultRootWindow(x.display);
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(x.display, root, &root, &parent, &children, &count))
        return 0;
    unsigned long found = 0;
    for (unsigned int i = 0; i < count && !found; ++i)
        if (isViewableWithTitle(x.display, children[i], title))
            found = children[i];
    if (children)
        XFree(children);
    return found;
}

// ---- Screenshot ------------------------------------------------------------------------------

SDL_Color Screenshot::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return SDL_Color{0, 0, 0, 0};
    return pixels[static_cast<size_t>(y) * width + x];
}

bool Screenshot::isRed(int x, int y) const
{
    const SDL_Color c = pixel(x, y);
    return c.r > 96 && c.g < 40 && c.b < 40;
}

int Screenshot::countRed(const SDL_Rect& area) const
{
    int count = 0;
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x)
            count += isRed(x, y);
    return count;
}

int Screenshot::countNonBlack(const SDL_Rect& area) const
{
    int count = 0;
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x) {
            const SDL_Color c = pixel(x, y);
            count += (c.r | c.g | c.b) != 0;
        }
    return count;
}

// ---- GameProcess -----------------------------------------------------------------------------

GameProcess::GameProcess(const XvfbServer& server, const fs::path& workDir, GameOptions options)
    : display(server.display()), logDir(makeTempDir("klakoria-e2e-log-"))
{
    const std::string outFile = (logDir / "stdout").string();
    const std::string errFile = (logDir / "stderr").string();
    const std::string binary = gameBinary();
    child = fork();
    if (child == 0) {
        if (chdir(workDir.c_str()) != 0)
            _exit(126);
        const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        setenv("DISPLAY", display.c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (!options.checkLeaks)
            setenv("ASAN_OPTIONS", "detect_leaks=0:abort_on_error=0", 1);
        for (const auto& [key, value] : options.environment)
            setenv(key.c_str(), value.c_str(), 1);
        execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    pollUntil([this] { return (windowId = findWindow(display, "Klakoria")) != 0 || !running(); },
              std::chrono::seconds(60), std::chrono::milliseconds(50));
}

GameProcess::~GameProcess()
{
    if (running()) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    std::error_code ignored;
    fs::remove_all(logDir, ignored);
}

Screenshot GameProcess::screenshot() const
{
    Screenshot shot;
    XConnection x(display);
    XWindowAttributes attributes;
    if (!x.display || !windowId || !XGetWindowAttributes(x.display, windowId, &attributes))
        return shot;
    XImage* image = XGetImage(x.display, windowId, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return shot;
    shot.width = attributes.width;
    shot.height = attributes.height;
    shot.pixels.reserve(static_cast<size_t>(shot.width) * shot.height);
    const Visual* visual = attributes.visual;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const unsigned long value = XGetPixel(image, x, y);
            shot.pixels.push_back(SDL_Color{static_cast<Uint8>(channel(value, visual->red_mask)),
                                            static_cast<Uint8>(channel(value, visual->green_mask)),
                                            static_cast<Uint8>(channel(value, visual->blue_mask)), 0});
        }
    XDestroyImage(image);
    return shot;
}

bool GameProcess::waitForScreen(const std::function<bool(const Screenshot&)>& condition, int timeoutSeconds) const
{
    return pollUntil([&] { return condition(screenshot()); }, std::chrono::seconds(timeoutSeconds),
                     std::chrono::milliseconds(100));
}

bool GameProcess::waitForMainMenu(int timeoutSeconds) const
{
    return waitForScreen([](const Screenshot& shot) { return shot.countRed(SDL_Rect{150, 10, 500, 80}) > 500; },
                         timeoutSeconds);
}

void GameProcess::xdotool(const std::vector<std::string>& arguments) const
{
    std::vector<std::string> command = {"xdotool"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    runProcess(command, logDir, {{"DISPLAY", display}}, 30);
}

void GameProcess::click(int x, int y, int button) const
{
    xdotool({"mousemove", "--window", std::to_string(windowId), std::to_string(x), std::to_string(y), "click",
             std::to_string(button)});
}

void GameProcess::pressKey(const std::string& keyName) const
{
    xdotool({"mousemove", "--window", std::to_string(windowId), "1", "1", "key", keyName});
}

void GameProcess::type(const std::string& utf8Text) const
{
    xdotool({"mousemove", "--window", std::to_string(windowId), "1", "1", "type", "--delay", "30", "--", utf8Text});
}

void GameProcess::requestClose() const
{
    runProcess({closeWindowHelper(), std::to_string(windowId)}, logDir, {{"DISPLAY", display}}, 30);
}

void GameProcess::terminate() const { kill(child, SIGTERM); }

bool GameProcess::running()
{
    if (status >= 0)
        return false;
    int raw = 0;
    if (waitpid(child, &raw, WNOHANG) != child)
        return true;
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return false;
}

int GameProcess::waitForExit(int timeoutSeconds)
{
    pollUntil([this] { return !running(); }, std::chrono::seconds(timeoutSeconds));
    return status;
}

std::string GameProcess::standardError() const { return readAll(logDir / "stderr"); }
std::string GameProcess::standardOutput() const { return readAll(logDir / "stdout"); }

double GameProcess::cpuSeconds() const
{
    // The process line sums all threads; utime and stime are the 14th and 15th fields, counted
    // after the command name, which may itself hold spaces and ends with the last ')'.
    const std::string stat = readAll("/proc/" + std::to_string(child) + "/stat");
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(stat.substr(close + 2));
    std::vector<std::string> values;
    for (std::string v; fields >> v;)
        values.push_back(v);
    if (values.size() < 13)
        return -1;
    const double ticks = std::stod(values[11]) + std::stod(values[12]);
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace testing_support
