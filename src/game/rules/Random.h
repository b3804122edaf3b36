#pragma once
#include "game/rules/Board.h"

// Where the rules draw their random numbers. The game hands them one that calls rand() after
// srand(time); tests hand them one that says exactly what comes next.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual int next() = 0;     // 0..RAND_MAX, like rand()
    virtual void reseed() = 0;  // a fresh start, as the game makes at its start and at every Standard level
};

// A colour 1..colours drawn as next() % colours + 1.
uint16_t randomColour(RandomSource& random, int colours);

// Every cell in storage order gets a random colour, except that rows above firstRow are emptied
// (and draw no number).
void deal(Board& board, int colours, RandomSource& random, int firstRow = 0);
