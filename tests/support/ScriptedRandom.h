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
    void reseed() override {}

    std::deque<int> numbers;
    int drawn = 0;
};

}  // namespace testing_support
