#include "app/Settings.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <optional>

#include "system/Files.h"

const char* const SettingsFile = "Data/klakoria.cfg";

namespace {

constexpr std::size_t MaxSettingsBytes = 4096;

// Decimal digits only, no sign, no spaces, from lowest to highest.
std::optional<int> numberIn(std::string_view digits, int lowest, int highest)
{
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    int value = 0;
    if (std::from_chars(digits.data(), digits.data() + digits.size(), value).ec != std::errc())
        return std::nullopt;  // beyond an int
    if (value < lowest || value > highest)
        return std::nullopt;
    return value;
}

void applyLine(std::string_view line, Settings& settings)
{
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return;
    const std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
    if (key == "tileset") {
        if (const auto set = numberIn(value, 1, 5))
            settings.tileset = *set - 1;  // the file counts as the player does
    } else if (key == "music") {
        if (const auto on = numberIn(value, 0, 1))
            settings.music = *on == 1;
    } else if (key == "scale") {
        if (const auto scale = numberIn(value, 1, MaxScale))
            settings.scale = *scale;
    } else if (key == "fullscreen") {
        if (const auto on = numberIn(value, 0, 1))
            settings.fullscreen = *on == 1;
    }
}

// Up to one byte more than a settings file may hold, so that a larger one shows; "" when it cannot
// be read. O_NONBLOCK: what is swapped in for the regular file after the check must not block either.
std::string readStart(const std::string& path)
{
    if (!isRegularFile(path))
        return {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string bytes(MaxSettingsBytes + 1, '\0');
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            filled = 0;
            break;
        }
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes.resize(filled);
    return bytes;
}

}  // namespace

Settings parseSettings(std::string_view text)
{
    Settings settings;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        applyLine(text.substr(0, end), settings);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return settings;
}

std::string formatSettings(const Settings& settings)
{
    return "tileset=" + std::to_string(settings.tileset + 1) + "\nmusic=" + (settings.music ? "1" : "0") +
           "\nscale=" + std::to_string(settings.scale) + "\nfullscreen=" + (settings.fullscreen ? "1" : "0") + "\n";
}

Settings readSettings(const std::string& path)
{
    const std::string bytes = readStart(path);
    return bytes.size() > MaxSettingsBytes ? Settings{} : parseSettings(bytes);
}

bool writeSettings(const Settings& settings, const std::string& path)
{
    if (replaceFile(path, formatSettings(settings)))
        return true;
    std::fprintf(stderr, "Konnte %s nicht speichern.\n", path.c_str());
    return false;
}
