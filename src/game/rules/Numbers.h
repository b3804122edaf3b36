#pragma once
#include <cstdint>

// Game counters keep the low 16 bits of every result, on purpose.
constexpr int16_t toInt16(long long value) { return static_cast<int16_t>(static_cast<uint16_t>(value)); }

// base raised to exponent in double precision, truncated, of which the low 16 bits are kept as a
// signed number. Never converts a double beyond an integer's range.
int16_t powerLow16(int32_t base, int32_t exponent);
