#pragma once
#include <SDL.h>

#include <cstdint>

#include "game/Game.h"

// "FallDown Click": a feeder fills the top row cell by cell and then lets it fall. The game is
// lost when the feeder meets an occupied top cell and won when the seven-colour board runs out
// of moves.
class FallDownGame : public Game {
public:
    FallDownGame();

    void click(int32_t x, int32_t y) override;
    void draw() override;
    void tick() override;   // one feeding step; nothing while the clock stands
    void leave() override;  // pauses a running game; nothing in any other state

    void dealBoard();    // the first board: rows 0..2 empty, all counters reset, Playing
    void nextBoard();    // one colour more, or the win after the seven-colour board
    void finishGame();   // stops the clock and computes finalScore
    void collapseBelowTop();            // settles the board after a removal
    int32_t countMovesBelowTop() const; // removable tiles in rows 1..17 (a row-0 partner counts)

    int16_t points = 0;
    int16_t seconds = 0;
    int16_t refillColumn = 0;  // the top cell the next tick fills; 25: the next tick lets the row fall
    bool won = false;
    SDL_Rect pauseButton{0, 0, 0, 0};

private:
    void clickWhilePlaying(int32_t x, int32_t y);
    void clickTile(int16_t column, int16_t row, uint16_t colour);
    void moveColumnBelowTop(int from, int to);
    void drawGameResults() const;
};
