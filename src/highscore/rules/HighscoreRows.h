#pragma once
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

// A line of a list file is kept up to this many bytes; the rest of it up to its LF is skipped,
// so a damaged or hostile file cannot exhaust memory.
constexpr std::size_t HighscoreLineLimit = 64 * 1024;
// The longest name a player can enter: with the longest suffix a variant adds (" (5)", " (S)"),
// the ';', the longest score ("-2147483648") and the line break, its line still comes back whole.
constexpr std::size_t LongestPlayerName = HighscoreLineLimit - 4 - 1 - 11 - 1;

struct HighscoreEntry {
    std::string name;
    int32_t score = 0;
    bool operator==(const HighscoreEntry&) const = default;
};

// One variant's list of best results: always exactly `capacity` rows, best first. Where it is
// kept is its owner's business (HighscoreTable keeps it in a file).
class HighscoreRows {
public:
    HighscoreRows(std::string title, int32_t capacity);  // the default rows; capacity >= 0
    virtual ~HighscoreRows() = default;
    HighscoreRows(const HighscoreRows&) = delete;
    HighscoreRows& operator=(const HighscoreRows&) = delete;

    const std::string& title() const { return listTitle; }
    int32_t capacity() const { return static_cast<int32_t>(rows.size()); }
    int32_t score(int32_t i) const;          // 0 outside 0..capacity-1
    std::string name(int32_t i) const;       // empty outside 0..capacity-1
    bool qualifies(int32_t score) const;     // strictly better than the last row; equal is not enough
    bool insert(const std::string& name, int32_t score);  // replaces the last row and sorts; false if not better

    // The rows of a file's text, tolerant of anything (a line without ';' is a default row, the
    // score is read as atoi reads it), then sorted.
    void readFrom(std::istream& in);
    void writeTo(std::ostream& out) const;  // one "name;score" line per row

protected:
    // Selection sort that exchanges rows: among equal best scores the first one wins, and the
    // exchange may carry a row behind another of the same score.
    void sort();
    void setDefaultRows();  // ":)" with 100, 90, ..., 10 for ten rows

private:
    std::string listTitle;
    std::vector<HighscoreEntry> rows;
};
