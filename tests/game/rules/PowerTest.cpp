// Small powers take an integer shortcut that must give exactly the low 16 bits of the power in doubles.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "game/rules/Numbers.h"

namespace {

int16_t powerInDoubles(int32_t base, int32_t exponent)
{
    const double power = std::trunc(std::pow(double(base), double(exponent)));
    return std::isfinite(power) ? toInt16(static_cast<long long>(std::fmod(power, 65536.0))) : 0;
}

TEST(PowerLow16, GivesTheLow16BitsOfThePowerInDoublesForEveryKindOfBaseAndExponent)
{
    std::mt19937 rng(7);
    for (int i = 0; i < 200000; ++i) {
        const int32_t base = i % 2 ? static_cast<int32_t>(rng() % 4001) - 2000 : static_cast<int32_t>(rng());
        const int32_t exponent = i % 5 ? static_cast<int32_t>(rng() % 80) - 3 : static_cast<int32_t>(rng());
        ASSERT_EQ(powerLow16(base, exponent), powerInDoubles(base, exponent)) << base << "^" << exponent;
    }
    for (const int32_t base : {-1, 0, 1, 2, -2})
        for (const int32_t exponent : {0, 1, 2, 52, 53, 54, 63, 64, 2147483647})
            EXPECT_EQ(powerLow16(base, exponent), powerInDoubles(base, exponent)) << base << "^" << exponent;
}

}  // namespace
