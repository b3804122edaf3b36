#pragma once
#include <cstdint>

#include "game/rules/GameRules.h"
#include "game/rules/Random.h"

// "Standart Click": six levels on full boards, level L deals L + 1 colours. Every level ends when
// no group of two is left and earns a bonus from its points per click, the share of tiles left
// and the time taken. Tiles always fall to the bottom and columns close to the left.
struct StandardRules : GameCore {
    static constexpr int16_t LastLevel = 6;

    // Counters of the current level, then of the whole game; each keeps the low 16 bits.
    int16_t level = 1;
    int16_t levelPoints = 0;
    int16_t levelClicks = 0;
    int16_t tilesLeft = 0;
    int16_t levelSeconds = 0;
    int16_t levelBonus = 0;
    int16_t totalScore = 0;
    int16_t totalClicks = 0;
    int16_t totalTilesLeft = 0;
    int16_t totalSeconds = 0;
    // Whether this level's first click on a tile has started the clock. A level that ends without
    // one took no time, rather than the time since some earlier level's start.
    bool levelClockRunning = false;

    // A fresh board for `level` from a fresh seed; the level's counters and clock back to 0.
    void startLevel(RandomSource& random);
    // A click while Playing, on the board or beside it: a click on a tile counts (the first one
    // starts the level's clock), a group goes and pays (level + 1) per tile beyond the first, and
    // a board without a move ends the level.
    Removal click(const CellAtPixel& at, uint32_t now);
    // The bonus and the totals of the level that has just ended; LevelResults.
    void finishLevel(uint32_t now);
    // "weiter" on the level result: the next level, or the final result after the last one.
    void continueAfterLevel(RandomSource& random);
    // The left-over share of the whole game relates to the cells of every level played.
    int totalPercentLeft() const { return totalTilesLeft * 100 / (level * BoardCells); }
};
