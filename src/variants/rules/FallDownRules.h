#pragma once
#include <cstdint>

#include "game/rules/GameRules.h"
#include "game/rules/Random.h"

// "FallDown Click": a feeder fills the top row cell by cell and then lets it fall. The game is
// lost when the feeder meets an occupied top cell and won when the seven-colour board runs out
// of moves. Rows 1..17 are the board the player clears; row 0 belongs to the feeder.
struct FallDownRules : GameCore {
    int16_t points = 0;
    int16_t seconds = 0;
    int16_t refillColumn = 0;  // the top cell the next step fills; 25: the next step lets the row fall
    bool won = false;

    static constexpr int32_t ColourBonusPerColour = 200;
    static constexpr int32_t WinBonus = 3000;

    // The first board of four colours below three empty rows; emptied columns close toward the
    // middle from both sides.
    void start(RandomSource& random);
    // A click while Playing: a group pays one point per tile beyond the first and settles below
    // the feeder row; a lone tile, or an empty cell once the clock runs, costs one feeding step.
    // The first tile click starts the clock and the feeder. No move left brings the next board.
    Removal click(const CellAtPixel& at, uint32_t now, RandomSource& random);
    // One feeding step while the clock runs; true when the board changed.
    bool tick(uint32_t now, RandomSource& random);
    void finishGame(uint32_t now);

    int32_t colourBonus() const { return (colourCount - 3) * ColourBonusPerColour; }
    int32_t movesBelowFeeder() const { return countMoves(board, 1); }

private:
    Settling settling() const { return {gravity, true, refillColumn}; }
    void nextBoard(uint32_t now, RandomSource& random);
};
