#pragma once
#include <SDL.h>

#include <cstdint>
#include <string>

#include "game/Game.h"

// "Speed Click": a stock of points drains while the clock runs; boards with one colour more
// follow each other until the seven-colour board is cleared (won) or the points fall below 0.
class SpeedGame : public Game {
public:
    explicit SpeedGame(int16_t difficulty);

    void click(int32_t x, int32_t y) override;
    void draw() override;
    void tick() override;
    void leave() override;  // pauses; does nothing unless the game is being played

    void dealBoard();
    void nextBoard();
    void finishGame();

    int16_t points = 0;
    int16_t seconds = 0;     // whole seconds of every closed span of the clock, each truncated
    int16_t tileClicks = 0;
    int16_t difficulty = 0;  // 0 "Leicht", 1 "Mittel", 2 "Schwer"
    int16_t drainPerTick = 0;
    SDL_Rect pauseButton{};

private:
    void playClick(int32_t x, int32_t y);
    void clickTile(int16_t column, int16_t row, uint16_t colour);
    void penalise();
    void moveToRandomCorner();
    int32_t colourBonus() const;
    bool won() const { return points >= 0; }
    void drawGameResults() const;
};
