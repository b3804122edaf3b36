#pragma once
#include <memory>

#include "game/Game.h"
#include "variants/rules/ChaosRules.h"

// "Chaos Click" on the screen: the board with its status line, then the final result.
class ChaosGame : public GameOf<ChaosRules> {
public:
    ChaosGame(std::unique_ptr<HighscoreRows> highscores, int16_t colours, RandomSource& random = systemRandom());
    ChaosGame(std::unique_ptr<HighscoreRows> highscores, RandomSource& random, const ChaosRules& from);

    void click(int32_t x, int32_t y) override;
    bool tick() override { return false; }
    void leave() override {}  // the clock keeps running while the player is asked to confirm


private:
    void drawStatusBar() override;
    void drawResults() const override;
};
