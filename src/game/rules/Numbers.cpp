#include "game/rules/Numbers.h"

#include <cmath>
#include <cstdlib>
#include <optional>

namespace {

// base raised to exponent when a double holds the result exactly (2^53 at most), else nothing.
std::optional<long long> exactPower(int32_t base, int32_t exponent)
{
    if (exponent < 0)
        return std::nullopt;
    if (base == 0)
        return exponent == 0 ? 1 : 0;
    if (base == 1 || base == -1)
        return exponent % 2 == 0 ? 1 : base;
    const long long largestToMultiply = (1LL << 53) / std::llabs(base);
    long long power = 1;
    for (int32_t done = 0; done < exponent; ++done) {
        if (std::llabs(power) > largestToMultiply)
            return std::nullopt;
        power *= base;
    }
    return power;
}

}  // namespace

int16_t powerLow16(int32_t base, int32_t exponent)
{
    // Powers a double holds exactly, which are all a game normally meets, are multiplied out in
    // integers: the same result, and the mathematics library stays unloaded.
    if (const std::optional<long long> exact = exactPower(base, exponent))
        return toInt16(*exact % 65536);
    const double power = std::trunc(std::pow(static_cast<double>(base), static_cast<double>(exponent)));
    if (!std::isfinite(power))
        return 0;
    // A double this large is a multiple of 65536 anyway; fmod keeps the low 16 bits exact and
    // leaves a value that converts safely.
    const double low = std::fmod(power, 65536.0);
    return toInt16(static_cast<long long>(low));
}
