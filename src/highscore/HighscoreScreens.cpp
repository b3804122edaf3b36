#include "highscore/HighscoreScreens.h"

#include <cstdint>
#include <string>

#include "gfx/Screen.h"
#include "gfx/Text.h"
#include "highscore/rules/HighscoreRows.h"

namespace {

// Ten rows whatever the table holds: a row beyond it shows only its place and a 0.
constexpr int32_t ShownRows = 10;
constexpr int32_t FirstRowY = 70;
constexpr int32_t RowSpacing = 50;
constexpr int32_t RowTextSize = 35;

struct RowColumn {
    int32_t x;
    TextAlign align;
    std::string (*text)(const HighscoreRows& table, int32_t row);
};

const RowColumn rowColumns[] = {
    {110, TextAlign::Center, [](const HighscoreRows&, int32_t row) { return intToString(row + 1); }},
    {0,   TextAlign::Center, [](const HighscoreRows& table, int32_t row) { return table.name(row); }},
    {700, TextAlign::Right,  [](const HighscoreRows& table, int32_t row) { return intToString(table.score(row)); }},
};

// Every line is centred on the window.
constexpr int32_t NameEntryTextSize = 35;

struct NameEntryLine {
    int32_t y;
    int32_t size;
    std::string (*text)(int32_t finalScore, const std::string& playerName);
};

const NameEntryLine nameEntryLines[] = {
    {10,  50,                [](int32_t, const std::string&) -> std::string { return "Super!"; }},
    {70,  NameEntryTextSize, [](int32_t, const std::string&) -> std::string { return "Sie haben es in die"; }},
    {120, NameEntryTextSize, [](int32_t, const std::string&) -> std::string { return "Highscore geschafft."; }},
    {170, NameEntryTextSize, [](int32_t score, const std::string&) { return "Sie haben " + intToString(score) + " Punkte"; }},
    {220, NameEntryTextSize, [](int32_t, const std::string&) -> std::string { return "Bitte geben sie ihren Namen ein:"; }},
    // The player watches the end of what they type, so a long name loses its start on screen
    // (only there: the name itself keeps every byte).
    {270, NameEntryTextSize, [](int32_t, const std::string& name) { return keepEndWithin(name, NameEntryTextSize, WindowWidth); }},
};

}  // namespace

void drawHighscoreScreen(const HighscoreRows& table)
{
    drawText("Highscore von " + table.title(), 0, 10, TextAlign::Center, 30, nullptr);
    for (int32_t row = 0; row < ShownRows; ++row)
        for (const RowColumn& column : rowColumns)
            drawText(column.text(table, row), column.x, FirstRowY + RowSpacing * row, column.align, RowTextSize, nullptr);
}

void drawNameEntryScreen(int32_t finalScore, const std::string& playerName)
{
    for (const NameEntryLine& line : nameEntryLines)
        drawText(line.text(finalScore, playerName), 0, line.y, TextAlign::Center, line.size, nullptr);
}
