#include "variants/ChaosGame.h"

#include <cstdlib>

#include "gfx/Text.h"
#include "highscore/HighscoreTable.h"

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
    dealRandomColours(colourCount);
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
            startClockOnce();
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
    // A clock that never started (no click on a tile) has measured nothing.
    seconds = toInt16(stopClock());
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

void ChaosGame::draw()
{
    switch (state) {
    case Playing:
        drawBoard();
        drawStatusBar("Punkte: " + intToString(points), "Klicks: " + intToString(clicks),
                      "M\xF6glichkeiten: " + intToString(countMoves()));
        break;
    case GameResults:
        drawGameResults();
        break;
    default:
        drawEndOfGameScreen();
        break;
    }
}

void ChaosGame::drawGameResults() const
{
    drawResultLines({
        "Endeergebniss des Spiels",
        TitleRule,
        "Punkte: " + intToString(points),
        "Klicks: " + intToString(clicks),
        clicks == 0 ? std::string() : "Punkte pro Klick: " + intToString(points / clicks),
        "Nicht entfernt: " + intToString(tilesLeft * 100 / BoardCells) + " %",
        "Schwierigkeit: " + intToString(colourCount) + " Farben",
        "Ben\xF6tigte Zeit: " + intToString(seconds) + " Sekunden",
        "-> Bonus: " + intToString(bonus) + " Punkte",
        TotalRule,
        "Gesamtergebniss: " + intToString(int32_t{points} + int32_t{bonus}) + " Punkte",
    });
    drawContinueButton();
}
