#pragma once
#include "game/Game.h"

namespace testing_support {

// A game without rules of its own, to drive the shared parts of Game.
struct BareGame : Game {
    void click(int32_t, int32_t) override {}
    void draw() override {}
    void tick() override {}
    void leave() override {}
};

}  // namespace testing_support
