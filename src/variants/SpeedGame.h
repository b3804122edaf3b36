#pragma once
#include <SDL.h>

#include <memory>

#include "game/Game.h"
#include "variants/rules/SpeedRules.h"

// "Speed Click" on the screen: the board with its "(pause)" label, the pause, won or lost.
class SpeedGame : public GameOf<SpeedRules> {
public:
    SpeedGame(std::unique_ptr<HighscoreRows> highscores, int16_t difficulty, RandomSource& random = systemRandom());
    SpeedGame(std::unique_ptr<HighscoreRows> highscores, RandomSource& random, const SpeedRules& from);

    void click(int32_t x, int32_t y) override;
    bool tick() override;
    void leave() override;  // pauses; does nothing unless the game is being played

    const SDL_Rect& pauseLabel() const { return pauseButton; }

private:
    void drawStatusBar() override;
    void drawResults() const override;

    SDL_Rect pauseButton{};
};
