#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/WaveLoad.h"

// Emscripten's SDL reads no WAV files, has no SDL_MixAudio, and plays only a few rates: it plays
// the samples of any lower rate at the next of these, faster and higher. So the piece is read here
// and brought to that rate, which keeps its pitch and tempo.

namespace {

constexpr std::array<int, 5> BrowserRates = {22050, 32000, 44100, 48000, 96000};
constexpr uint16_t SamplesPerCallback = 4096;  // what SDL's own loader asks for

uint32_t littleEndian(const std::string& bytes, std::size_t at, int count)
{
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// The content of the first chunk with this id after the RIFF header; empty when there is none.
std::string chunk(const std::string& file, const char* id)
{
    for (std::size_t at = 12; at + 8 <= file.size();) {
        const uint32_t length = littleEndian(file, at + 4, 4);
        if (file.compare(at, 4, id) == 0)
            return file.substr(at + 8, length);
        at += 8 + static_cast<std::size_t>(length) + (length & 1);
    }
    return {};
}

// Linear interpolation between neighbouring frames; the frame after the last is the first, as the
// piece loops.
std::vector<int16_t> resample(const std::vector<int16_t>& in, int channels, int from, int to)
{
    const std::size_t inFrames = in.size() / static_cast<std::size_t>(channels);
    const auto outFrames = static_cast<std::size_t>(static_cast<double>(inFrames) * to / from + 0.5);
    std::vector<int16_t> out(outFrames * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < outFrames; ++i) {
        const double position = static_cast<double>(i) * static_cast<double>(inFrames) / static_cast<double>(outFrames);
        const auto frame = static_cast<std::size_t>(position);
        const double weight = position - static_cast<double>(frame);
        const std::size_t next = (frame + 1) % inFrames;
        for (std::size_t c = 0; c < static_cast<std::size_t>(channels); ++c) {
            const double a = in[frame * static_cast<std::size_t>(channels) + c];
            const double b = in[next * static_cast<std::size_t>(channels) + c];
            out[i * static_cast<std::size_t>(channels) + c] = static_cast<int16_t>(a + (b - a) * weight);
        }
    }
    return out;
}

}  // namespace

// Only 16-bit PCM, the form of the game's own piece; the callback writes every byte it is given.
bool loadWave(const char* fileName, SDL_AudioSpec& audio, Uint8*& buffer, uint32_t& length)
{
    std::ifstream in(fileName, std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string format = chunk(file, "fmt ");
    const std::string data = chunk(file, "data");
    if (format.size() < 16 || littleEndian(format, 0, 2) != 1 || littleEndian(format, 14, 2) != 16)
        return false;
    const int channels = static_cast<int>(littleEndian(format, 2, 2));
    const int rate = static_cast<int>(littleEndian(format, 4, 4));
    const auto browserRate = std::find_if(BrowserRates.begin(), BrowserRates.end(), [&](int r) { return r >= rate; });
    if ((channels != 1 && channels != 2) || rate <= 0 || browserRate == BrowserRates.end())
        return false;
    std::vector<int16_t> samples(data.size() / (2 * static_cast<std::size_t>(channels)) * static_cast<std::size_t>(channels));
    std::memcpy(samples.data(), data.data(), samples.size() * 2);
    if (samples.empty())
        return false;
    samples = resample(samples, channels, rate, *browserRate);
    buffer = static_cast<Uint8*>(std::malloc(samples.size() * 2));
    if (!buffer)
        return false;
    std::memcpy(buffer, samples.data(), samples.size() * 2);
    length = static_cast<uint32_t>(samples.size() * 2);
    audio = SDL_AudioSpec{};
    audio.freq = *browserRate;
    audio.format = AUDIO_S16LSB;
    audio.channels = static_cast<Uint8>(channels);
    audio.samples = SamplesPerCallback;
    return true;
}

void freeWave(Uint8* buffer) { std::free(buffer); }

// The browser's SDL hands the callback a buffer that still holds the last samples rather than
// silence, and the game plays one sound alone: mixing it in is copying it, here at full volume.
extern "C" void SDL_MixAudio(Uint8* destination, const Uint8* source, Uint32 length, int /*volume*/)
{
    std::memmove(destination, source, length);
}
