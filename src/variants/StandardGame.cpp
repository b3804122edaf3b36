#include "variants/StandardGame.h"

#include <cstdlib>
#include <ctime>
#include <string>

#include "app/Clock.h"
#include "gfx/Text.h"
#include "highscore/HighscoreTable.h"

namespace {

std::string num(int value) { return intToString(value); }

}  // namespace

StandardGame::StandardGame()
{
    highscores = new HighscoreTable("Standart Click", "Data/var1.hsc", 10);
    startLevel();
}

void StandardGame::startLevel()
{
    levelPoints = 0;
    levelClicks = 0;
    tilesLeft = 0;
    levelSeconds = 0;
    levelBonus = 0;
    levelClockRunning = false;
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    dealRandomColours(level + 1);
    endTicks = 0;
    state = Playing;
}

void StandardGame::click(int32_t x, int32_t y)
{
    switch (state) {
    case Playing:
        clickBoard(x, y);
        break;
    case LevelResults:
        clickLevelResults(x, y);
        break;
    case GameResults:
    case NameEntry:
    case ShowHighscores:
        finalScore = totalScore;
        handleEndOfGameClick(x, y, "");
        break;
    default:
        break;
    }
}

void StandardGame::clickBoard(int32_t x, int32_t y)
{
    const BoardCell at = cellAtPixel(x, y);
    if (at.onBoard) {
        const uint16_t v = cell(at.column, at.row);
        if (static_cast<int16_t>(v) > 0) {
            if (!levelClockRunning) {
                startTicks = currentTicks();
                levelClockRunning = true;
            }
            levelClicks = toInt16(levelClicks + 1);
            previousBoard = board;
            const int32_t removed = removeGroup(at.column, at.row, v, true);
            if (removed > 0) {
                levelPoints = toInt16(levelPoints + (level + 1) * removed);
                animateRemoval();
                collapse();
            }
        }
    }
    // Also after a click beside the board: a freshly dealt board may have no move at all.
    if (countMoves() == 0)
        finishLevel();
}

void StandardGame::clickLevelResults(int32_t x, int32_t y)
{
    if (!pointInRect(toInt16(x), toInt16(y), continueButton))
        return;
    if (level == LastLevel) {
        state = GameResults;
    } else {
        level = toInt16(level + 1);
        startLevel();
    }
}

void StandardGame::finishLevel()
{
    endTicks = currentTicks();
    levelSeconds = levelClockRunning ? toInt16((endTicks - startTicks) / 1000) : 0;
    tilesLeft = toInt16(tilesLeft + occupiedCells());

    // Without a click on a tile there are no points to share out.
    const int pointsPerClick = levelClicks != 0 ? levelPoints / levelClicks : 0;
    const int percentLeft = tilesLeft * 100 / BoardCells;
    const int d = pointsPerClick - percentLeft;
    levelBonus = d > 1 ? powerLow16(d, level) : toInt16(d);
    if (levelSeconds > 0)
        levelBonus = toInt16(levelBonus / levelSeconds);
    if (levelBonus < 0)
        levelBonus = 0;

    totalClicks = toInt16(totalClicks + levelClicks);
    totalTilesLeft = toInt16(totalTilesLeft + tilesLeft);
    totalSeconds = toInt16(totalSeconds + levelSeconds);
    totalScore = toInt16(totalScore + levelBonus + levelPoints);
    state = LevelResults;
}

void StandardGame::draw()
{
    switch (state) {
    case Playing:
        drawPlaying();
        break;
    case LevelResults:
        drawLevelResults();
        break;
    case GameResults:
        drawGameResults();
        break;
    default:
        drawEndOfGameScreen();
        break;
    }
}

void StandardGame::drawPlaying() const
{
    drawBoard();
    drawStatusBar("Punkte: " + num(levelPoints), "Klicks: " + num(levelClicks),
                  "M\xF6glichkeiten: " + num(countMoves()));
}

void StandardGame::drawLevelResults() const
{
    // The finished board stays visible behind the result.
    drawBoard();
    drawResultLines({
        "Zwischenergebniss Level " + num(level),
        TitleRule,
        "Punkte: " + num(levelPoints),
        "Klicks: " + num(levelClicks),
        levelClicks != 0 ? "Punkte pro Klick: " + num(levelPoints / levelClicks) : "",
        "Nicht entfernt: " + num(tilesLeft * 100 / BoardCells) + " %",
        "Schwierigkeit: " + num(level + 1) + " Farben",
        "Ben\xF6tigte Zeit: " + num(levelSeconds) + " Sekunden",
        "-> Bonus: " + num(levelBonus) + " Punkte",
        TotalRule,
        "Ergebniss f\xFCr dieses Level:",
        num(levelBonus + levelPoints) + " Punkte",
        TotalRule,
        "Derzeitiges Gesamtergebniss:",
        num(totalScore) + " Punkte",
    });
    drawContinueButton();
}

void StandardGame::drawGameResults() const
{
    // The leftover share relates to the cells of every level played.
    drawResultLines({
        "Endeergebniss des Spiels",
        TitleRule,
        "Punkte: " + num(totalScore),
        "Klicks: " + num(totalClicks),
        totalClicks != 0 ? "Punkte pro Klick: " + num(totalScore / totalClicks) : "",
        "Nicht entfernt: " + num(totalTilesLeft * 100 / (level * BoardCells)) + " %",
        "Ben\xF6tigte Zeit: " + num(totalSeconds) + " Sekunden",
        TotalRule,
        "Gesamtergebniss: " + num(totalScore) + " Punkte",
    });
    drawContinueButton();
}
