// Composes Klakoria's background music and writes it as a 16-bit mono WAV file:
//   make_music <path>
//
// Eight bars in C major at 100 beats per minute (19.2 s): a soft pad, a bass, a quiet
// arpeggio and a bell-like melody with an echo. The piece is rendered onto a circle: whatever
// still rings after the last bar (pad releases, echoes) is added to the first bars, so the
// file's last sample runs into its first one like any other pair of neighbours and the game
// can loop it without a seam. Nothing here is random: the same program writes the same bytes.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

// The highest partial (the bell's fourth on C6, 4186 Hz) stays below half of this rate, so the
// piece sounds as it would at any higher rate and takes half the memory of 22050 Hz.
constexpr int SampleRate = 11025;
constexpr int SamplesPerBeat = SampleRate * 60 / 100;  // 6615 exactly, so bars never drift
constexpr int BeatsPerBar = 4;
constexpr int Bars = 8;
constexpr int LoopSamples = SamplesPerBeat * BeatsPerBar * Bars;
constexpr double Pi = 3.14159265358979323846;
constexpr double PeakLevel = 0.7;  // of full scale: headroom for the mixer adding other sounds

using Track = std::vector<double>;

// How an instrument sounds: partial amplitudes, a raised-cosine attack, an exponential decay
// (higher partials die faster, as on a struck string) and a raised-cosine release after the
// note's written length, so every note starts and ends at exactly zero and never clicks.
struct Instrument {
    std::array<double, 4> partials;
    double attackSeconds;
    double decaySeconds;  // time constant of the fundamental; 0 holds the level
    double releaseSeconds;
    double detune;        // a second oscillator this much sharp, for a warm, slowly beating pad
};

constexpr Instrument Pad{{1.0, 0.25, 0.08, 0.0}, 0.30, 8.0, 0.60, 0.003};
constexpr Instrument Bass{{1.0, 0.30, 0.10, 0.0}, 0.012, 1.2, 0.12, 0.0};
constexpr Instrument Pluck{{1.0, 0.15, 0.05, 0.0}, 0.006, 0.25, 0.05, 0.0};
constexpr Instrument Bell{{1.0, 0.45, 0.18, 0.08}, 0.006, 0.8, 0.08, 0.0};

struct Note {
    double beat;    // start, counted from the first beat of the piece
    double beats;   // written length
    int pitch;      // MIDI note number, 69 = A 440 Hz
};

double frequency(int pitch) { return 440.0 * std::pow(2.0, (pitch - 69) / 12.0); }

double raisedCosine(double fraction) { return 0.5 - 0.5 * std::cos(Pi * std::clamp(fraction, 0.0, 1.0)); }

double tone(const Instrument& instrument, double hertz, double seconds)
{
    double sum = 0.0;
    for (int k = 0; k < static_cast<int>(instrument.partials.size()); ++k) {
        const double amplitude = instrument.partials[k];
        if (amplitude == 0.0)
            continue;
        const double fade = instrument.decaySeconds > 0.0 ? std::exp(-seconds * (k + 1) / instrument.decaySeconds) : 1.0;
        double wave = std::sin(2.0 * Pi * hertz * (k + 1) * seconds);
        if (instrument.detune != 0.0)
            wave = 0.5 * (wave + std::sin(2.0 * Pi * hertz * (1.0 + instrument.detune) * (k + 1) * seconds));
        sum += amplitude * fade * wave;
    }
    return sum;
}

// Adds one note to the track; samples past the end wrap around to the start.
void play(Track& track, const Instrument& instrument, const Note& note, double volume)
{
    const long start = std::lround(note.beat * SamplesPerBeat);
    const long held = std::lround(note.beats * SamplesPerBeat);
    const long attack = std::lround(instrument.attackSeconds * SampleRate);
    const long release = std::lround(instrument.releaseSeconds * SampleRate);
    const double hertz = frequency(note.pitch);
    for (long i = 0; i < held + release; ++i) {
        const double seconds = static_cast<double>(i) / SampleRate;
        double envelope = raisedCosine(static_cast<double>(i) / static_cast<double>(attack));
        if (i >= held)
            envelope *= 1.0 - raisedCosine(static_cast<double>(i - held + 1) / static_cast<double>(release));
        track[(start + i) % LoopSamples] += volume * envelope * tone(instrument, hertz, seconds);
    }
}

// One chord per bar: the pad's three voices; the bass plays the first entry an octave or two down.
struct Chord {
    int bass;
    std::array<int, 3> pad;
};

// C, A minor, F, G, C, A minor, D minor, G: the last G leads back into the first C.
constexpr std::array<Chord, Bars> Progression{{
    {48, {60, 64, 67}},
    {45, {57, 60, 64}},
    {41, {57, 60, 65}},
    {43, {55, 59, 62}},
    {48, {60, 64, 67}},
    {45, {57, 60, 64}},
    {50, {57, 62, 65}},
    {43, {55, 59, 62}},
}};

// The melody as (length in beats, pitch) per bar; every bar adds up to four beats.
struct MelodyStep {
    double beats;
    int pitch;
};
const std::vector<std::vector<MelodyStep>> Melody{
    {{1.0, 76}, {0.5, 79}, {0.5, 77}, {1.0, 76}, {1.0, 72}},
    {{1.5, 76}, {0.5, 74}, {1.0, 72}, {1.0, 69}},
    {{1.0, 72}, {1.0, 77}, {1.0, 81}, {0.5, 79}, {0.5, 77}},
    {{2.0, 79}, {1.0, 74}, {1.0, 71}},
    {{0.5, 72}, {0.5, 76}, {1.0, 79}, {1.0, 84}, {0.5, 83}, {0.5, 81}},
    {{1.5, 81}, {0.5, 79}, {1.0, 76}, {1.0, 72}},
    {{1.0, 74}, {1.0, 77}, {1.0, 81}, {1.0, 77}},
    {{1.5, 79}, {0.5, 77}, {2.0, 74}},
};

Track padTrack()
{
    Track track(LoopSamples, 0.0);
    for (int bar = 0; bar < Bars; ++bar)
        for (int pitch : Progression[bar].pad)
            play(track, Pad, {bar * 4.0, 4.0, pitch}, 0.075);
    return track;
}

// Root for two and a half beats, root again, then the fifth leading on.
Track bassTrack()
{
    Track track(LoopSamples, 0.0);
    for (int bar = 0; bar < Bars; ++bar) {
        const int root = Progression[bar].bass;
        play(track, Bass, {bar * 4.0, 2.5, root}, 0.30);
        play(track, Bass, {bar * 4.0 + 2.5, 0.5, root}, 0.22);
        play(track, Bass, {bar * 4.0 + 3.0, 1.0, root + 7}, 0.26);
    }
    return track;
}

// Eighth notes walking up and down the chord an octave above the pad.
Track arpeggioTrack()
{
    constexpr std::array<int, 8> order{0, 1, 2, 1, 0, 1, 2, 1};
    Track track(LoopSamples, 0.0);
    for (int bar = 0; bar < Bars; ++bar)
        for (int step = 0; step < 8; ++step)
            play(track, Pluck, {bar * 4.0 + step * 0.5, 0.5, Progression[bar].pad[order[step]] + 12}, 0.05);
    return track;
}

// The melody with two echoes a dotted eighth apart; echoes of the last notes wrap to the start.
Track melodyTrack()
{
    Track dry(LoopSamples, 0.0);
    for (int bar = 0; bar < Bars; ++bar) {
        double beat = bar * 4.0;
        for (const MelodyStep& step : Melody[bar]) {
            play(dry, Bell, {beat, step.beats, step.pitch}, 0.22);
            beat += step.beats;
        }
    }
    constexpr long delay = SamplesPerBeat * 3 / 4;
    Track wet(LoopSamples, 0.0);
    for (long i = 0; i < LoopSamples; ++i)
        wet[i] = dry[i] + 0.30 * dry[(i - delay + LoopSamples) % LoopSamples]
               + 0.12 * dry[(i - 2 * delay + LoopSamples) % LoopSamples];
    return wet;
}

std::vector<int16_t> compose()
{
    const Track voices[] = {padTrack(), bassTrack(), arpeggioTrack(), melodyTrack()};
    Track mix(LoopSamples, 0.0);
    for (const Track& voice : voices)
        for (int i = 0; i < LoopSamples; ++i)
            mix[i] += voice[i];

    double peak = 0.0;
    for (double sample : mix)
        peak = std::max(peak, std::abs(sample));
    const double gain = peak > 0.0 ? PeakLevel * 32767.0 / peak : 0.0;

    std::vector<int16_t> samples(LoopSamples);
    for (int i = 0; i < LoopSamples; ++i)
        samples[i] = static_cast<int16_t>(std::clamp(std::lround(mix[i] * gain), -32767L, 32767L));
    return samples;
}

void put16(std::FILE* file, uint16_t value)
{
    const unsigned char bytes[2] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8)};
    std::fwrite(bytes, 1, 2, file);
}

void put32(std::FILE* file, uint32_t value)
{
    put16(file, static_cast<uint16_t>(value));
    put16(file, static_cast<uint16_t>(value >> 16));
}

// RIFF/WAVE, one "fmt " chunk for 16-bit PCM mono, one "data" chunk; little-endian throughout.
bool writeWav(const char* path, const std::vector<int16_t>& samples)
{
    std::FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::fwrite("RIFF", 1, 4, file);
    put32(file, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, file);
    put32(file, 16);
    put16(file, 1);               // PCM
    put16(file, 1);               // mono
    put32(file, SampleRate);
    put32(file, SampleRate * 2);  // bytes per second
    put16(file, 2);               // bytes per sample frame
    put16(file, 16);              // bits per sample
    std::fwrite("data", 1, 4, file);
    put32(file, dataBytes);
    for (int16_t sample : samples)
        put16(file, static_cast<uint16_t>(sample));
    const bool written = !std::ferror(file);
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_music <output.wav>\n");
        return 2;
    }
    if (!writeWav(argv[1], compose())) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
