#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The bytes of a 16-bit PCM mono WAV file holding these samples; extraDataBytes appends
// stray bytes to the data chunk (a half sample, for instance).
inline std::string wavBytes(const std::vector<int16_t>& samples, int rate = 22050, int extraDataBytes = 0)
{
    std::string bytes;
    auto put16 = [&](uint32_t v) { bytes += static_cast<char>(v & 0xFF); bytes += static_cast<char>((v >> 8) & 0xFF); };
    auto put32 = [&](uint32_t v) { put16(v & 0xFFFF); put16(v >> 16); };
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2 + extraDataBytes);
    bytes += "RIFF";
    put32(36 + dataBytes);
    bytes += "WAVEfmt ";
    put32(16);
    put16(1);
    put16(1);
    put32(static_cast<uint32_t>(rate));
    put32(static_cast<uint32_t>(rate * 2));
    put16(2);
    put16(16);
    bytes += "data";
    put32(dataBytes);
    for (int16_t s : samples)
        put16(static_cast<uint16_t>(s));
    bytes.append(static_cast<size_t>(extraDataBytes), '\x11');
    return bytes;
}
