#pragma once
#include <cstdint>

#include "game/rules/GameRules.h"
#include "game/rules/Random.h"

// "Speed Click": a stock of points drains while the clock runs; boards with one colour more
// follow each other until the seven-colour board is cleared (won) or the points fall below 0.
struct SpeedRules : GameCore {
    int16_t points = 0;
    int16_t seconds = 0;     // whole seconds of every closed span of the clock, each truncated
    int16_t tileClicks = 0;
    int16_t difficulty = 0;  // 0 "Leicht", 1 "Mittel", 2 "Schwer"
    int16_t drainPerTick = 0;

    // What a difficulty starts with and pays; the menu offers exactly these three.
    struct Difficulty {
        int16_t startColours;
        int16_t startPoints;
        int16_t drainPerTick;
        int16_t pointsPerNewBoard;
        const char* nameSuffix;
        const char* label;
    };
    static const Difficulty& settingsOf(int16_t difficulty);  // difficulty 0..2
    const Difficulty& settings() const { return settingsOf(difficulty); }

    void start(int16_t difficultyLevel, RandomSource& random);  // the first board, bottom left
    // A click while Playing: a click on a tile starts the clock, every tenth draws a new corner
    // of gravity first; a group pays once the board has more colours than the difficulty asks
    // for; a click that removes nothing on the board costs twice the drain. No move left deals
    // the next board, or wins after the seventh.
    Removal click(const CellAtPixel& at, uint32_t now, RandomSource& random);
    // The drain while the clock runs; true when the points changed.
    bool tick(uint32_t now);
    void finishGame(uint32_t now);

    bool won() const { return points >= 0; }
    int32_t colourBonus() const { return int32_t{colourCount} * (difficulty + 1) * 100; }

private:
    void penalise(uint32_t now);
    void moveToRandomCorner(RandomSource& random);
    void nextBoard(uint32_t now, RandomSource& random);
};
