#include "audio/WaveCheck.h"

#include <algorithm>
#include <cstdint>
#include <istream>
#include <string>

namespace {

constexpr uint16_t Pcm = 0x0001, MsAdpcm = 0x0002, ImaAdpcm = 0x0011;
// SDL's MS ADPCM decoder takes exactly 7 coefficient pairs, and each block header picks one per channel.
constexpr unsigned MsCoefficients = 7;
// The last entry of the IMA step table, which each block header's step index reads.
constexpr unsigned ImaLastStep = 88;
// SDL reads the samples per block at byte 18 of the format chunk; MS ADPCM adds the coefficient
// count and 7 coefficient pairs.
constexpr uint32_t BasicFormatBytes = 16, ImaFormatBytes = 20, MsFormatBytes = 22 + 4 * MsCoefficients;

bool read(std::istream& in, std::string& bytes, std::size_t count)
{
    bytes.resize(count);
    return static_cast<bool>(in.read(bytes.data(), static_cast<std::streamsize>(count)));
}

bool skip(std::istream& in, uint32_t count)
{
    in.ignore(static_cast<std::streamsize>(count));
    return in.gcount() == static_cast<std::streamsize>(count);
}

unsigned littleEndian(const std::string& bytes, std::size_t at, int count)
{
    unsigned value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

struct Chunk {
    std::string id;
    uint32_t length = 0;
};

// SDL cannot read an empty chunk: it asks for its content as one item of no bytes, which fails.
bool readChunkHeader(std::istream& in, Chunk& chunk)
{
    std::string header;
    if (!read(in, header, 8))
        return false;
    chunk = {header.substr(0, 4), littleEndian(header, 4, 4)};
    return chunk.length > 0;
}

struct AdpcmFormat {
    bool ima = false;
    unsigned channels = 0, blockAlign = 0, bitsPerSample = 0, samplesPerBlock = 0, coefficients = 0;
    unsigned headerBytes() const { return (ima ? 4 : 7) * channels; }  // at the start of every block
};

// Every block holds its header and then 4-bit samples of all channels: IMA in words of 4 bytes
// per channel (SDL decodes whole words), MS ADPCM byte by byte after two samples in the header.
bool consistent(const AdpcmFormat& f)
{
    if (f.bitsPerSample != 4 || (f.channels != 1 && f.channels != 2) || f.blockAlign < f.headerBytes())
        return false;
    const unsigned sampleBytes = f.blockAlign - f.headerBytes();
    if (f.ima)
        return sampleBytes % (4 * f.channels) == 0 && f.samplesPerBlock == sampleBytes * 8 / (4 * f.channels) + 1;
    return f.coefficients == MsCoefficients && f.samplesPerBlock == sampleBytes * 8 / (4 * f.channels) + 2;
}

// SDL reads the data chunk whole, decodes every whole block in it and ignores the rest.
bool blockHeadersFit(std::istream& in, const AdpcmFormat& f, uint32_t dataLength)
{
    std::string header;
    for (uint32_t blocks = dataLength / f.blockAlign; blocks > 0; --blocks) {
        if (!read(in, header, f.headerBytes()) || !skip(in, f.blockAlign - f.headerBytes()))
            return false;
        for (unsigned c = 0; c < f.channels; ++c) {
            const auto stepIndexOrPredictor = static_cast<unsigned char>(header[f.ima ? 4 * c + 2 : c]);
            if (stepIndexOrPredictor > (f.ima ? ImaLastStep : MsCoefficients - 1))
                return false;
        }
    }
    return skip(in, dataLength % f.blockAlign);
}

}  // namespace

bool isSafeWave(std::istream& in)
{
    // SDL also takes a file that starts with any word and "WAVE", as if "RIFF" and a length were there.
    std::string bytes;
    if (!read(in, bytes, 8))
        return false;
    if (bytes.compare(4, 4, "WAVE") != 0 && !(bytes.starts_with("RIFF") && read(in, bytes, 4) && bytes == "WAVE"))
        return false;

    // SDL skips only these chunks before the format.
    Chunk chunk;
    do {
        if (!readChunkHeader(in, chunk))
            return false;
    } while ((chunk.id == "fact" || chunk.id == "LIST") && skip(in, chunk.length));
    const uint32_t formatBytes = std::min(chunk.length, MsFormatBytes);
    if (chunk.id != "fmt " || chunk.length < BasicFormatBytes || !read(in, bytes, formatBytes) ||
        !skip(in, chunk.length - formatBytes))
        return false;
    const unsigned tag = littleEndian(bytes, 0, 2);
    AdpcmFormat adpcm{};
    if (tag != Pcm) {
        if ((tag != MsAdpcm && tag != ImaAdpcm) || chunk.length < (tag == ImaAdpcm ? ImaFormatBytes : MsFormatBytes))
            return false;
        adpcm = {tag == ImaAdpcm, littleEndian(bytes, 2, 2), littleEndian(bytes, 12, 2), littleEndian(bytes, 14, 2),
                 littleEndian(bytes, 18, 2), tag == MsAdpcm ? littleEndian(bytes, 20, 2) : 0};
        if (!consistent(adpcm))
            return false;
    }

    // SDL reads the first data chunk after the format whole, whatever lies between; a length
    // beyond the end of the file would only make it allocate that much before it gives up.
    do {
        if (!readChunkHeader(in, chunk))
            return false;
    } while (chunk.id != "data" && skip(in, chunk.length));
    return chunk.id == "data" && (tag == Pcm ? skip(in, chunk.length) : blockHeadersFit(in, adpcm, chunk.length));
}
