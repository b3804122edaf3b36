#pragma once
#include <cstdint>
#include <string>

#include "game/rules/GameRules.h"
#include "game/rules/Random.h"

// "Chaos Click": one board with 2 to 5 colours; every click into the board moves the point of
// gravity to a random cell, so the tiles gather somewhere else each time.
struct ChaosRules : GameCore {
    int16_t points = 0;
    int16_t clicks = 0;     // clicks on a tile, whether or not a group went
    int16_t tilesLeft = 0;  // set when the game ends
    int16_t seconds = 0;    // from the first click on a tile to the end
    int16_t bonus = 0;

    // The first point of gravity is already a random one, then the board is dealt.
    void start(int16_t colours, RandomSource& random);
    // A click while Playing: a click on a tile counts (the first starts the clock), a group pays
    // (colours + 1) per tile beyond the first, and every click into the board, even one that took
    // nothing, pulls the tiles toward a new random point. No move left ends the game.
    Removal click(const CellAtPixel& at, uint32_t now, RandomSource& random);
    void finishGame(uint32_t now);  // the bonus; GameResults with points + bonus as the final score

    int percentLeft() const { return tilesLeft * 100 / BoardCells; }
    std::string nameSuffix() const { return " (" + std::to_string(colourCount) + ")"; }

private:
    void moveGravityToRandomCell(RandomSource& random);  // row before column
    int16_t computeBonus() const;
};
