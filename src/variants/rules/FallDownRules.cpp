#include "variants/rules/FallDownRules.h"

#include <cassert>

#include "game/rules/Numbers.h"

namespace {

constexpr int FeederRow = 0;
constexpr int FirstDealtRow = 3;  // rows above it start empty, room for the feeder
constexpr int16_t StartColours = 4;
constexpr int16_t MostColours = 7;  // the tile sheet has seven colours

}  // namespace

void FallDownRules::start(RandomSource& random)
{
    colourCount = StartColours;
    gravity = {LastRow, 12};
    deal(board, colourCount, random, FirstDealtRow);
    clock = GameClock{};
    refillColumn = 0;
    points = 0;
    seconds = 0;
    won = false;
    state = Playing;
}

bool FallDownRules::tick(uint32_t now, RandomSource& random)
{
    // The feeder waits for the first tile click and stands still while paused.
    if (!clock.running())
        return false;
    if (refillColumn >= BoardColumns) {
        collapse(board, {gravity});
        refillColumn = 0;
        return true;
    }
    if (holdsTile(board.at(refillColumn, FeederRow))) {
        finishGame(now);  // nowhere to put the next tile: lost, and nothing is placed
        return true;
    }
    board.at(refillColumn, FeederRow) = randomColour(random, colourCount);
    refillColumn = toInt16(refillColumn + 1);
    return true;
}

Removal FallDownRules::click(const CellAtPixel& at, uint32_t now, RandomSource& random)
{
    assert(state == Playing);
    Removal removal;
    if (at.onBoard) {
        if (!holdsTile(board.at(at.cell.column, at.cell.row))) {
            tick(now, random);
        } else {
            clock.startOnce(now);  // the feeder starts with the first tile click
            removal = removeGroupAt(board, at.cell);
            if (removal.removed > 0) {
                points = toInt16(points + removal.removed);
                collapse(board, settling());
            } else {
                tick(now, random);  // a lone tile costs one feeding step
            }
        }
    }
    // A feeding step of this click may have lost the game already; the result screen then keeps
    // the board and score of that moment instead of a new board or a second ending.
    if (state == Playing && movesBelowFeeder() == 0)
        nextBoard(now, random);
    return removal;
}

void FallDownRules::nextBoard(uint32_t now, RandomSource& random)
{
    colourCount = toInt16(colourCount + 1);
    refillColumn = 0;
    if (colourCount > MostColours) {
        won = true;
        finishGame(now);
        return;
    }
    deal(board, colourCount, random, FirstDealtRow);
}

void FallDownRules::finishGame(uint32_t now)
{
    // A clock that never ran (no tile was clicked) has no span to add.
    seconds = toInt16(seconds + clock.stop(now));
    finalScore = points + colourBonus() + seconds + (won ? WinBonus : 0);
    state = GameResults;
}
