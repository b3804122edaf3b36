#include "variants/rules/StandardRules.h"

#include <cassert>

#include "game/rules/Numbers.h"

void StandardRules::startLevel(RandomSource& random)
{
    levelPoints = 0;
    levelClicks = 0;
    tilesLeft = 0;
    levelSeconds = 0;
    levelBonus = 0;
    levelClockRunning = false;
    random.reseed();
    deal(board, level + 1, random);
    clock.endTicks = 0;
    state = Playing;
}

Removal StandardRules::click(const CellAtPixel& at, uint32_t now)
{
    assert(state == Playing);
    Removal removal;
    if (at.onBoard && holdsTile(board.at(at.cell.column, at.cell.row))) {
        if (!levelClockRunning) {
            clock.startTicks = now;
            levelClockRunning = true;
        }
        levelClicks = toInt16(levelClicks + 1);
        removal = removeGroupAt(board, at.cell);
        if (removal.removed > 0) {
            levelPoints = toInt16(levelPoints + (level + 1) * removal.removed);
            collapse(board, {gravity});
        }
    }
    // Also after a click beside the board: a freshly dealt board may have no move at all.
    if (countMoves(board) == 0)
        finishLevel(now);
    return removal;
}

void StandardRules::finishLevel(uint32_t now)
{
    clock.endTicks = now;
    levelSeconds = levelClockRunning ? toInt16((clock.endTicks - clock.startTicks) / 1000) : 0;
    tilesLeft = toInt16(tilesLeft + board.tileCount());

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

void StandardRules::continueAfterLevel(RandomSource& random)
{
    if (level == LastLevel) {
        finalScore = totalScore;
        state = GameResults;
        return;
    }
    level = toInt16(level + 1);
    startLevel(random);
}
