#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <tuple>

#include "TestSupport.h"
#include "audio/MusicPlayer.h"
#include "audio/WaveCheck.h"

namespace {

// Signed 16-bit mono, the format SDL_MixAudio uses while SDL's audio is closed; gives the output and the next sample.
std::pair<std::vector<Sint16>, uint32_t> mixed(std::vector<Sint16> piece, uint32_t start, std::vector<Sint16> output)
{
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    musicSpec = SDL_AudioSpec{};
    musicSpec.format = AUDIO_S16SYS, musicSpec.channels = 1;
    musicBuffer = piece.empty() ? nullptr : reinterpret_cast<Uint8*>(piece.data());
    musicLength = static_cast<uint32_t>(2 * piece.size()), musicPosition = 2 * start;
    mixMusic(nullptr, reinterpret_cast<Uint8*>(output.data()), static_cast<int>(2 * output.size()));
    musicBuffer = nullptr, musicLength = 0;
    return {output, musicPosition / 2};
}

std::string littleEndian(uint32_t value, int bytes)
{
    std::string text;
    for (int i = 0; i < bytes; ++i)
        text += static_cast<char>(value >> (8 * i));
    return text;
}

// A RIFF WAVE file. Its format chunk holds the 16 bytes every format has, then ADPCM's extra size,
// samples per block, coefficient count and the 7 usual MS ADPCM coefficient pairs, cut or padded
// with zeros to formatBytes.
struct Wave {
    std::string data;
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 16, tag = 1;
    uint32_t declaredBytes = 0;  // what the data chunk announces; 0: its true size
    uint16_t blockAlign = 0;     // 0: a PCM frame
    uint16_t samplesPerBlock = 0, coefficients = 7;
    uint32_t formatBytes = 16;   // 20 hold IMA ADPCM's fields, 50 MS ADPCM's
    std::string beforeFormat = "", beforeData = "";  // more chunks
    bool bare = false;           // "WAVE" as the second word, without "RIFF" and the length
};

std::string wavFile(const Wave& w)
{
    const uint16_t align = w.blockAlign ? w.blockAlign : static_cast<uint16_t>(uint32_t(w.channels) * w.bits / 8);
    std::string format;
    for (auto [value, bytes] : {std::pair<uint32_t, int>{w.tag, 2}, {w.channels, 2}, {w.rate, 4}, {w.rate * align, 4}, {align, 2},
                                {w.bits, 2}, {32, 2}, {w.samplesPerBlock, 2}, {w.coefficients, 2}})
        format += littleEndian(value, bytes);
    for (int c : {256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232})
        format += littleEndian(static_cast<uint16_t>(c), 2);
    format.resize(w.formatBytes);
    const std::string chunks = w.beforeFormat + "fmt " + littleEndian(w.formatBytes, 4) + format + w.beforeData + "data" +
        littleEndian(w.declaredBytes ? w.declaredBytes : static_cast<uint32_t>(w.data.size()), 4) + w.data;
    return (w.bare ? "Tonx" : "RIFF" + littleEndian(static_cast<uint32_t>(4 + chunks.size()), 4)) + "WAVE" + chunks;
}

// Valid 4-bit ADPCM formats, IMA and MS, mono and stereo.
const Wave adpcmFormats[] = {{"", 1, 22050, 4, 0x11, 0, 36, 65, 0, 20}, {"", 2, 22050, 4, 0x11, 0, 72, 65, 0, 20},
                             {"", 1, 22050, 4, 2, 0, 32, 52, 7, 50}, {"", 2, 22050, 4, 2, 0, 64, 52, 7, 50}};

// The format with blocks of random samples under valid headers (IMA step indices up to 88, MS
// predictors up to 6), then changed.
Wave withBlocks(Wave w, int blocks, std::mt19937& random, const std::function<void(Wave&)>& change = [](Wave&) {})
{
    w.data.resize(size_t(blocks) * w.blockAlign);
    std::generate(w.data.begin(), w.data.end(), random);
    for (int b = 0; b < blocks; ++b)
        for (int c = 0; c < w.channels; ++c)
            w.data[b * w.blockAlign + (w.tag == 0x11 ? 4 * c + 2 : c)] = char(random() % (w.tag == 0x11 ? 89 : 7));
    change(w);
    return w;
}

// No two neighbours alike, so that every misplaced byte shows.
std::string sampleBytes(size_t count)
{
    std::string bytes(count, '\0');
    std::generate(bytes.begin(), bytes.end(), [i = 0]() mutable { return char((i++ * 37 + 11) % 251); });
    return bytes;
}

std::string stderrOf(const std::function<void()>& action)
{
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
}

class MusicPlayerTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError(); }
    void TearDown() override { SDL_Quit(); }

    testing_support::TempDataDir dir{std::vector<std::string>{}};
};

}  // namespace

// An empty piece could never advance: it leaves the output alone instead of spinning.
TEST(MixMusic, AddsThePieceRepeatedFromThePlayPositionClippedToTheSampleRange)
{
    using Samples = std::vector<Sint16>;
    const Samples five = {100, -200, 300, -400, 500};
    for (const auto& [piece, start, output, expected, next] : {
             std::tuple<Samples, uint32_t, Samples, Samples, uint32_t>{five, 1, {7, -7}, {-193, 293}, 3},
             {five, 3, Samples(13), {-400, 500, 100, -200, 300, -400, 500, 100, -200, 300, -400, 500, 100}, 1},
             {five, 1, {0, 0, 0, 0}, {-200, 300, -400, 500}, 0},  // ends exactly at the end
             {five, 2, {}, {}, 2},
             {{1000, 30000, -30000, -400, 32767, -32768}, 0, {-1000, 5000, -5000, 7, 1, -1}, {0, 32767, -32768, -393, 32767, -32768}, 0},
             {{}, 0, {3, -4, 5}, {3, -4, 5}, 0}})
        EXPECT_EQ(mixed(piece, start, output), std::make_pair(expected, next)) << start << " + " << output.size();
}

// 8 bits mono with an odd count of bytes, 16 bits stereo with a single sample.
TEST_F(MusicPlayerTest, EveryPcmFormatPlaysInItsOwnFormatASecondLoadIsRefusedAndStopRewinds)
{
    dir.writeFile("Data/b.wav", wavFile({sampleBytes(16)}));
    for (const auto& [channels, rate, bits, dataBytes] : {std::tuple<uint16_t, uint32_t, uint16_t, size_t>{1, 11025, 16, 1400},
                                                          {1, 8000, 8, 1001}, {2, 44100, 8, 666}, {2, 48000, 16, 4}}) {
        SCOPED_TRACE(testing::Message() << bits << " bits, " << channels << " channels");
        const std::string samples = sampleBytes(dataBytes);
        dir.writeFile("Data/Musik.wav", wavFile({samples, channels, rate, bits}));
        MusicPlayer player;
        EXPECT_EQ(stderrOf([&] { player.load("Data/Musik.wav"), player.play(); }), "");
        ASSERT_TRUE(player.isPlaying() && SDL_GetAudioStatus() == SDL_AUDIO_PLAYING);
        EXPECT_EQ(std::make_tuple(musicSpec.freq, musicSpec.channels, musicSpec.format, musicSpec.callback),
                  std::make_tuple(int(rate), Uint8(channels), Uint16(bits == 8 ? AUDIO_U8 : AUDIO_S16LSB), &mixMusic));
        EXPECT_EQ(stderrOf([&] { player.load("Data/b.wav"); }), "Es ist bereits eine Audio-Datei ge\xF6" "ffnet!");
        ASSERT_NE(musicBuffer, nullptr);
        EXPECT_TRUE(std::string(reinterpret_cast<const char*>(musicBuffer), musicLength) == samples);

        SDL_LockAudio();
        musicPosition = musicLength / 2;  // wherever the device has got to
        SDL_UnlockAudio();
        EXPECT_EQ(stderrOf([&] { player.stop(); }), "");
        EXPECT_TRUE(!player.isPlaying() && SDL_GetAudioStatus() == SDL_AUDIO_STOPPED);
        EXPECT_EQ(musicPosition, 0u) << "switched on again, the piece starts at its first sample";
    }
    EXPECT_EQ(musicBuffer, nullptr) << "the sound outlives its player";
}

// No sample could never advance the mixing; a rate no device plays would overrun SDL's conversion steps.
TEST_F(MusicPlayerTest, AFileThatCannotBePlayedIsRefusedLikeAMissingOneAndEveryUseComplains)
{
    const std::string samples = sampleBytes(2000), whole = wavFile({samples});
    std::string random(4000, '\0');
    std::mt19937 generator(6);
    std::generate(random.begin(), random.end(), generator);
    const std::optional<std::string> cases[] = {
        std::nullopt, "", random,
        whole.substr(0, 30),                            // cut off in the format chunk
        whole.substr(0, whole.size() / 2),              // fewer samples than announced
        wavFile({samples, 1, 22050, 16, 1, 0xFFFFFFF0}),  // announcing 4 GiB
        wavFile({""}), wavFile({"\x11"}),
        wavFile({samples, 2, 44100, 16, 0x55}),  // a format SDL cannot decode
        wavFile({samples, 0}), wavFile({samples, 1, 100}), wavFile({samples, 1, 100000000}),
        // ADPCM on which SDL would divide by zero, decode across the block borders (the samples per
        // block leave 4 bytes of each block), or read past its step table (the second block's right channel).
        wavFile(withBlocks(adpcmFormats[0], 3, generator, [](Wave& w) { w.blockAlign = 0; })),
        wavFile(withBlocks(adpcmFormats[0], 3, generator, [](Wave& w) { w.samplesPerBlock = 57; })),
        wavFile(withBlocks(adpcmFormats[2], 3, generator, [](Wave& w) { w.samplesPerBlock = 44; })),
        wavFile(withBlocks(adpcmFormats[1], 3, generator, [](Wave& w) { w.data[72 + 6] = 89; })),
    };
    const char* const noneOpen = "Keine Audio-Datei ge\xF6" "ffnet!";
    for (int i = 0; const auto& bytes : cases) {
        SCOPED_TRACE(i++);
        std::filesystem::remove(dir.data() / "Musik.wav");
        if (bytes)
            dir.writeFile("Data/Musik.wav", *bytes);
        MusicPlayer player;
        EXPECT_EQ(stderrOf([&] { player.load("Data/Musik.wav"); }), "");
        EXPECT_EQ(musicBuffer, nullptr);
        for (int click = 0; click < 2; ++click)
            EXPECT_EQ(stderrOf([&] { player.play(); }), noneOpen);
        EXPECT_TRUE(!player.isPlaying() && SDL_GetAudioStatus() == SDL_AUDIO_STOPPED);
        EXPECT_EQ(stderrOf([&] { player.stop(); }), noneOpen);
    }
}

// Valid files of each kind (with or without "RIFF", a LIST or fact chunk ahead) under up to six random
// changes of header fields, chunks and blocks.
// SDL loads whatever passes, in this process: a division by zero or a stray access ends the test.
// Passing ADPCM decodes whole, every block into its samples.
TEST(WaveCheck, WhatPassesSdlLoadsAndPassingAdpcmDecodesWhole)
{
    std::mt19937 random(1411);
    auto any = [&](std::initializer_list<uint32_t> values) { return *(values.begin() + random() % values.size()); };
    auto anyShort = [&](std::initializer_list<uint32_t> values) { return uint16_t(any({any(values), uint32_t(random())})); };
    auto chunk = [&] {
        const std::string body(random() % 9, 'x'), id = std::string("factLISTjunkfmt ").substr(4 * (random() % 4), 4);
        return id + littleEndian(uint32_t(body.size() + random() % 2), 4) + body;
    };
    const std::function<void(Wave&)> changes[] = {
        [&](Wave& w) { w.tag = anyShort({1, 2, 0x11, 0x55}); },
        [&](Wave& w) { w.channels = anyShort({0, 1, 2, 3}); },
        [&](Wave& w) { w.blockAlign = anyShort({0, 1, w.blockAlign - 1u, w.blockAlign + 1u, 4u * w.channels, 7u * w.channels}); },
        [&](Wave& w) { w.bits = anyShort({0, 3, 4, 8, 16}); },
        [&](Wave& w) { w.samplesPerBlock = anyShort({0, 1, 2, w.samplesPerBlock - 1u, w.samplesPerBlock + 1u}); },
        [&](Wave& w) {  // a few bytes more per block, with the 4-bit samples they hold
            const int more = 1 + int(random() % 8);
            w.blockAlign = uint16_t(w.blockAlign + more);
            w.samplesPerBlock = uint16_t(w.samplesPerBlock + 2 * more / std::max(int(w.channels), 1));
        },
        [&](Wave& w) { w.coefficients = anyShort({0, 6, 7, 8}); },
        [&](Wave& w) { w.formatBytes = any({0, 1, 15, 16, 18, 19, 20, 21, 49, 50, 64}); },
        [&](Wave& w) { w.declaredBytes = any({1, w.blockAlign, uint32_t(w.data.size() / 2), uint32_t(w.data.size() + 1)}); },
        [&](Wave& w) { w.data.resize(random() % (w.data.size() + 1)); },
        [&](Wave& w) { if (size_t at = random() % 3 * w.blockAlign + random() % 8; at < w.data.size()) w.data[at] = char(random()); },
        [&](Wave& w) { w.beforeFormat += chunk(); },
        [&](Wave& w) { w.beforeData += chunk(); },
        [&](Wave& w) { w.rate = anyShort({0, 1}); },
    };
    const std::string ahead[] = {"", "LIST" + littleEndian(4, 4) + "INFO", "fact" + littleEndian(4, 4) + littleEndian(999, 4)};
    int passingAdpcm = 0;
    for (int run = 0; run < 35000; ++run) {
        const int kind = run % 5, changeCount = run / 5 % 7, form = run / 35 % 6;
        Wave w = kind < 4 ? withBlocks(adpcmFormats[kind], 1 + int(random() % 3), random)
                          : Wave{sampleBytes(1 + random() % 99)};
        w.bare = form % 2, w.beforeFormat = ahead[form / 2];
        for (int i = 0; i < changeCount; ++i)
            changes[random() % std::size(changes)](w);
        const std::string bytes = wavFile(w);
        std::istringstream in(bytes);
        const bool passes = isSafeWave(in);
        EXPECT_TRUE(passes || changeCount > 0) << "the valid file of kind " << kind << " in form " << form;
        if (!passes)
            continue;
        SDL_AudioSpec format;
        Uint8* buffer = nullptr;
        Uint32 length = 0;
        const bool loaded = SDL_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1, &format, &buffer, &length);
        SDL_FreeWAV(loaded ? buffer : nullptr);
        if (w.tag != 1) {
            ++passingAdpcm;
            const uint32_t blocks = (w.declaredBytes ? w.declaredBytes : uint32_t(w.data.size())) / w.blockAlign;
            EXPECT_TRUE(loaded && length == blocks * w.samplesPerBlock * w.channels * 2) << run << ": " << SDL_GetError();
        }
    }
    EXPECT_GT(passingAdpcm, 5000);
}

TEST_F(MusicPlayerTest, WithoutAUsableDeviceTheMusicStaysOffUntilATryWorks)
{
    dir.writeFile("Data/a.wav", wavFile({sampleBytes(12)}));
    MusicPlayer player;
    player.load("Data/a.wav");
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    setenv("SDL_AUDIODRIVER", "nosuchdriver", 1);
    for (int click = 0; click < 2; ++click) {
        EXPECT_EQ(stderrOf([&] { player.play(); }), "");
        EXPECT_FALSE(player.isPlaying());
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    player.play();
    EXPECT_TRUE(player.isPlaying());
}
