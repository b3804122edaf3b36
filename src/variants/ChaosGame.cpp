#include "variants/ChaosGame.h"

#include <cstdlib>

#include "app/Clock.h"
#include "gfx/Text.h"
#include "highscore/HighscoreScreens.h"
#include "highscore/HighscoreTable.h"

namespace {

constexpr int TextSize = 18;
constexpr int StatusBarY = 576;
constexpr int ResultLinesTop = 50;
constexpr int ResultLineSpacing = 25;

}  // namespace

ChaosGame::ChaosGame(int16_t colours)
{
    colourCount = colours;
    // The very first point of gravity is already a random one; row before column.
    moveGravityToRandomCell();
    highscores = new HighscoreTable("Chaos Click", "Data/var2.hsc", 10);
    dealBoard();
}

void ChaosGame::dealBoard()
{
    for (auto& value : board)
        value = static_cast<uint16_t>(rand() % colourCount + 1);
    endTicks = 0;
    state = Playing;
}

void ChaosGame::moveGravityToRandomCell()
{
    gravityRow = static_cast<int16_t>(rand() % BoardRows);
    gravityColumn = static_cast<int16_t>(rand() % BoardColumns);
}

void ChaosGame::click(int32_t x, int32_t y)
{
    if (state == Playing) {
        playClick(x, y);
        return;
    }
    if (state == GameResults && pointInRect(toInt16(x), toInt16(y), continueButton))
        finalScore = int32_t{points} + int32_t{bonus};
    handleEndOfGameClick(x, y, nameSuffix());
}

void ChaosGame::playClick(int32_t x, int32_t y)
{
    const BoardCell target = cellAtPixel(x, y);
    if (target.onBoard) {
        const uint16_t colour = cell(target.column, target.row);
        if (static_cast<int16_t>(colour) > 0) {
            // The clock starts once, with the first click on a tile; a click counter that
            // wraps around does not start it again.
            if (startTicks == 0)
                startTicks = currentTicks();
            clicks = toInt16(clicks + 1);
            previousBoard = board;
        }
        const int32_t removed = removeGroup(target.column, target.row, colour, true);
        if (removed > 0) {
            points = toInt16(points + (colourCount + 1) * removed);
            animateRemoval();
        }
        // Every click into the board pulls the tiles somewhere else, even one that took nothing.
        moveGravityToRandomCell();
        collapse();
    }
    if (countMoves() == 0)
        finishGame();
}

void ChaosGame::finishGame()
{
    endTicks = currentTicks();
    // A clock that never started (no click on a tile) has measured nothing.
    seconds = startTicks != 0 ? toInt16((endTicks - startTicks) / 1000) : int16_t{0};
    tilesLeft = toInt16(occupiedCells());
    bonus = computeBonus();
    state = GameResults;
}

int16_t ChaosGame::computeBonus() const
{
    // Without a counted click there are no points per click to reward (this also covers a
    // counter that wrapped to 0).
    if (clicks == 0)
        return 0;
    const int perClick = points / clicks;
    const int leftPercent = tilesLeft * 100 / BoardCells;
    int16_t result = toInt16(perClick - leftPercent);
    if (result > 1)
        result = powerLow16(result, colourCount - 1);
    if (seconds > 0)
        result = toInt16(result / seconds);
    return result < 0 ? int16_t{0} : result;
}

std::string ChaosGame::nameSuffix() const
{
    return " (" + intToString(colourCount) + ")";
}

std::string ChaosGame::resultLine(int line) const
{
    switch (line) {
    case 0: return "Endeergebniss des Spiels";
    case 1: return "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~";
    case 2: return "Punkte: " + intToString(points);
    case 3: return "Klicks: " + intToString(clicks);
    case 4: return clicks == 0 ? std::string() : "Punkte pro Klick: " + intToString(points / clicks);
    case 5: return "Nicht entfernt: " + intToString(tilesLeft * 100 / BoardCells) + " %";
    case 6: return "Schwierigkeit: " + intToString(colourCount) + " Farben";
    case 7: return "Ben\xF6tigte Zeit: " + intToString(seconds) + " Sekunden";
    case 8: return "-> Bonus: " + intToString(bonus) + " Punkte";
    case 9: return "-------------------------------------";
    case 10: return "Gesamtergebniss: " + intToString(int32_t{points} + int32_t{bonus}) + " Punkte";
    default: return std::string();
    }
}

void ChaosGame::draw()
{
    switch (state) {
    case Playing:
        drawBoard();
        drawText("Punkte: " + intToString(points), 0, StatusBarY, TextAlign::Left, TextSize, nullptr);
        drawText("Klicks: " + intToString(clicks), 0, StatusBarY, TextAlign::Center, TextSize, nullptr);
        drawText("M\xF6glichkeiten: " + intToString(countMoves()), 0, StatusBarY, TextAlign::Right, TextSize,
                 nullptr);
        break;
    case GameResults:
        // An empty line draws nothing but keeps its place.
        for (int line = 0; line < ResultLineCount; ++line)
            drawText(resultLine(line), 0, ResultLinesTop + ResultLineSpacing * line, TextAlign::Center, TextSize,
                     nullptr);
        drawContinueButton();
        break;
    case NameEntry:
        drawNameEntryScreen();
        drawContinueButton();
        break;
    case ShowHighscores:
        drawHighscoreScreen(*highscores);
        break;
    default:
        break;
    }
}
