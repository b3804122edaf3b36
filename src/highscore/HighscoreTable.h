#pragma once
#include <string>

#include "highscore/rules/HighscoreRows.h"

// A list kept in a file: read when the table is created, written back when it is destroyed.
class HighscoreTable : public HighscoreRows {
public:
    // A file that is missing or cannot be read gives the default rows. Rows that cannot be
    // allocated end the program with a message.
    HighscoreTable(std::string title, std::string fileName, int32_t capacity);
    ~HighscoreTable() override;  // saves

    const std::string& fileName() const { return file; }
    void save() const;  // replaces the file whole or not at all; leaves a list it must not replace alone

private:
    void load();
    std::string file;
};
