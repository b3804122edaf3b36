#pragma once
#include <initializer_list>
#include <string>
#include <string_view>

#include "game/Game.h"

namespace testing_support {

// Boards written as they appear on screen: one string per row, '.' empty, '1'..'7' colours
// ('x' stands for 8, a value without a tile). The first character of the first string lands
// on (leftColumn, topRow); everything outside the strings stays empty.
Board boardAt(int leftColumn, int topRow, std::initializer_list<std::string_view> rows);

// The strings are the board's lowest rows: the last string is row 17.
Board boardFromBottomRows(std::initializer_list<std::string_view> rows);

// The whole board as 18 lines of 25 characters, in the notation above, for readable failures.
std::string boardText(const Board& board);

// A game without rules of its own, to drive the shared parts of Game.
class BareGame : public Game {
public:
    void click(int32_t, int32_t) override {}
    void draw() override {}
    void tick() override {}
    void leave() override {}
    using Game::drawContinueButton;
    using Game::handleEndOfGameClick;
};

}  // namespace testing_support
