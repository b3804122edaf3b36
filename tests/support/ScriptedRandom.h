#pragma once
// A random source for the rules that says exactly what comes next: no seed to hunt for.
#include <deque>

#include "game/rules/Random.h"

namespace testing_support {

struct ScriptedRandom : RandomSource {
    ScriptedRandom(std::initializer_list<int> next = {}) : numbers(next) {}
    int next() override  // the scripted numbers, then 0
    {
        ++drawn;
        if (numbers.empty())
            return 0;
        const int n = numbers.front();
        numbers.pop_front();
        return n;
    }
    void reseed() override { ++reseeds; }

    // Numbers that deal exactly `board` (every cell a colour), cell by cell in storage order.
    void toDeal(const Board& board)
    {
        for (uint16_t value : board)
            numbers.push_back(value - 1);
    }

    std::deque<int> numbers;
    int drawn = 0;
    int reseeds = 0;
};

}  // namespace testing_support
