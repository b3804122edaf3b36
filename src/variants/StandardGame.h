#pragma once
#include <memory>

#include "game/Game.h"
#include "variants/rules/StandardRules.h"

// "Standart Click" on the screen: the board with its status line, a result after every level,
// then the final result.
class StandardGame : public GameOf<StandardRules> {
public:
    // A new game: level 1 dealt.
    explicit StandardGame(std::unique_ptr<HighscoreRows> highscores, RandomSource& random = systemRandom());
    // A game at any moment of its rules.
    StandardGame(std::unique_ptr<HighscoreRows> highscores, RandomSource& random, const StandardRules& from);

    void click(int32_t x, int32_t y) override;
    bool tick() override { return false; }
    void leave() override {}


private:
    void drawStatusBar() override;
    void drawResults() const override;
    void drawLevelResults() const;
    void drawGameResults() const;
};
