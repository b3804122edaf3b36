#pragma once
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

// A line of a list file is kept up to this many bytes; the rest of it up to its LF is skipped,
// so a damaged or hostile file cannot exhaust memory.
constexpr std::size_t HighscoreLineLimit = 64 * 1024;

// The longest name the name entry takes, so that every name a player can type comes back whole:
// its line, with the longest suffix a variant appends (" (5)", " (S)"), ';', the lowest score
// and the line break, stays within HighscoreLineLimit.
constexpr std::size_t LongestNameSuffix = 4;
constexpr std::size_t LongestPlayerName = HighscoreLineLimit - LongestNameSuffix - std::string_view(";-2147483648\n").size();

struct HighscoreEntry {
    std::string name;
    int32_t score = 0;
};

// One variant's list of best results. Reads its file when created, writes it when destroyed.
class HighscoreTable {
public:
    HighscoreTable(std::string title, std::string fileName, int32_t capacity);
    ~HighscoreTable();  // saves
    HighscoreTable(const HighscoreTable&) = delete;
    HighscoreTable& operator=(const HighscoreTable&) = delete;

    void load();        // default rows when the file cannot be opened
    // Replaces the file whole or not at all and leaves a read-only or unreadable list alone; a
    // list not written is named on standard error, since the rows that changed are lost.
    void save() const;
    void sort();
    void readFrom(std::istream& in);        // the rows of a file's text, tolerant of anything
    void writeTo(std::ostream& out) const;  // one "name;score" line per row

    int32_t score(int32_t i) const;          // 0 outside 0..capacity-1
    std::string name(int32_t i) const;       // empty outside 0..capacity-1
    bool qualifies(int32_t score) const;     // strictly better than the last row; equal is not enough
    bool insert(const std::string& name, int32_t score);  // replaces the last row and sorts

    std::string title;
    std::vector<HighscoreEntry> entries;  // exactly capacity rows, best first
    int32_t capacity;
    std::string fileName;
};
