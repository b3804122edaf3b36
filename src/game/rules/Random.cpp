#include "game/rules/Random.h"

#include <cassert>

uint16_t randomColour(RandomSource& random, int colours)
{
    assert(colours >= 1);
    return static_cast<uint16_t>(random.next() % colours + 1);
}

void deal(Board& board, int colours, RandomSource& random, int firstRow)
{
    for (int column = 0; column < BoardColumns; ++column)
        for (int row = 0; row < BoardRows; ++row)
            board.at(column, row) = row < firstRow ? 0 : randomColour(random, colours);
}
