#pragma once
#include <string>
#include <string_view>

// The player's choices that outlive the program, kept in a small text file beside the lists.
struct Settings {
    int tileset = 4;          // 0..4, the set the player plays with (the fifth at a first start)
    bool music = true;        // the background music plays
    int scale = 1;            // the window's whole magnification, 1.. (MaxScale)
    bool fullscreen = false;
    bool operator==(const Settings&) const = default;
};
constexpr int MaxScale = 8;
extern const char* const SettingsFile;   // "Data/klakoria.cfg"

// The settings a text holds: one "key=value" a line; an unknown key, a malformed line or a bad value is
// skipped, so what is missing or bad keeps its default (or an earlier good line's value: of two good
// lines with one key the later wins). A value is decimal digits only, in its range. Never throws,
// whatever the bytes.
Settings parseSettings(std::string_view text);
// The file's text, one key a line; for settings in their ranges parseSettings(formatSettings(s)) == s.
std::string formatSettings(const Settings& settings);
// The settings in the file; the defaults when it is missing, not a regular file (a FIFO would wait
// for a writer for ever), unreadable, or larger than 4096 bytes. A file that large was not written
// by the game and counts as damaged as a whole: a first part of it might end in the middle of a
// number and pass for a different one.
Settings readSettings(const std::string& path = SettingsFile);
// Writes them whole or not at all (replaceFile of system/Files.h); on failure says
// "Konnte <path> nicht speichern." on standard error, as the lists do, and returns false.
bool writeSettings(const Settings& settings, const std::string& path = SettingsFile);
