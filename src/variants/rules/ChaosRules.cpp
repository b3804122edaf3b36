#include "variants/rules/ChaosRules.h"

#include <cassert>

#include "game/rules/Numbers.h"

void ChaosRules::start(int16_t colours, RandomSource& random)
{
    colourCount = colours;
    moveGravityToRandomCell(random);
    deal(board, colourCount, random);
    clock.endTicks = 0;
    state = Playing;
}

void ChaosRules::moveGravityToRandomCell(RandomSource& random)
{
    gravity.row = static_cast<int16_t>(random.next() % BoardRows);
    gravity.column = static_cast<int16_t>(random.next() % BoardColumns);
}

Removal ChaosRules::click(const CellAtPixel& at, uint32_t now, RandomSource& random)
{
    assert(state == Playing);
    Removal removal;
    if (at.onBoard) {
        if (holdsTile(board.at(at.cell.column, at.cell.row))) {
            // The clock starts once, with the first click on a tile; a click counter that wraps
            // around does not start it again.
            clock.startOnce(now);
            clicks = toInt16(clicks + 1);
        }
        removal = removeGroupAt(board, at.cell);
        if (removal.removed > 0)
            points = toInt16(points + (colourCount + 1) * removal.removed);
        moveGravityToRandomCell(random);
        collapse(board, {gravity});
    }
    if (countMoves(board) == 0)
        finishGame(now);
    return removal;
}

void ChaosRules::finishGame(uint32_t now)
{
    seconds = toInt16(clock.stop(now));
    tilesLeft = toInt16(board.tileCount());
    bonus = computeBonus();
    finalScore = int32_t{points} + int32_t{bonus};
    state = GameResults;
}

int16_t ChaosRules::computeBonus() const
{
    // Without a counted click there are no points per click to reward (this also covers a
    // counter that wrapped to 0).
    if (clicks == 0)
        return 0;
    int16_t result = toInt16(points / clicks - percentLeft());
    if (result > 1)
        result = powerLow16(result, colourCount - 1);
    if (seconds > 0)
        result = toInt16(result / seconds);
    return result < 0 ? int16_t{0} : result;
}
