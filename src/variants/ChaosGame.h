#pragma once
#include <cstdint>
#include <string>

#include "game/Game.h"

// "Chaos Click": one board with 2 to 5 colours; every click into the board moves the point of
// gravity to a random cell, so the tiles gather somewhere else each time.
class ChaosGame : public Game {
public:
    explicit ChaosGame(int16_t colours);

    void click(int32_t x, int32_t y) override;
    void draw() override;
    void tick() override {}
    void leave() override {}  // the clock keeps running while the player is asked to confirm

    void dealBoard();
    void finishGame();

    int16_t points = 0;
    int16_t clicks = 0;     // clicks on a tile, whether or not a group went
    int16_t tilesLeft = 0;  // set when the game ends
    int16_t seconds = 0;    // from the first click on a tile to the end
    int16_t bonus = 0;

private:
    void playClick(int32_t x, int32_t y);
    void moveGravityToRandomCell();
    int16_t computeBonus() const;
    std::string nameSuffix() const;
    void drawGameResults() const;
};
