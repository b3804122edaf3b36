#pragma once
#include <cstdint>

#include "game/Game.h"

// "Standart Click": six levels on full boards, level L deals L + 1 colours. Every level ends
// when no group of two is left and earns a bonus from its points per click, the share of
// tiles left and the time taken.
class StandardGame : public Game {
public:
    static constexpr int16_t LastLevel = 6;

    StandardGame();  // loads "Data/var1.hsc" and deals level 1

    void click(int32_t x, int32_t y) override;
    void draw() override;
    void tick() override {}
    void leave() override {}

    void startLevel();   // a fresh board for level; the level's counters and clock back to 0
    void finishLevel();  // the bonus and the totals of the level that has just ended

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

    // Whether this level's first click on a tile has set startTicks. A level that ends without
    // one took no time, rather than the time since some earlier level's start.
    bool levelClockRunning = false;

private:
    void clickBoard(int32_t x, int32_t y);
    void clickLevelResults(int32_t x, int32_t y);
    void drawPlaying() const;
    void drawLevelResults() const;
    void drawGameResults() const;
};
