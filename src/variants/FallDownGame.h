#pragma once
#include <SDL.h>

#include <memory>

#include "game/Game.h"
#include "variants/rules/FallDownRules.h"

// "FallDown Click" on the screen: the board with its feeder and "(pause)" label, the pause, won
// or lost.
class FallDownGame : public GameOf<FallDownRules> {
public:
    explicit FallDownGame(std::unique_ptr<HighscoreRows> highscores, RandomSource& random = systemRandom());
    FallDownGame(std::unique_ptr<HighscoreRows> highscores, RandomSource& random, const FallDownRules& from);

    void click(int32_t x, int32_t y) override;
    bool tick() override;   // one feeding step; nothing while the clock stands
    void leave() override;  // pauses a running game; nothing in any other state

    const SDL_Rect& pauseLabel() const { return pauseButton; }

private:
    void drawStatusBar() override;
    void drawResults() const override;

    SDL_Rect pauseButton{};
};
