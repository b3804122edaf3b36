#include <gtest/gtest.h>

#include <optional>

#include "TestSupport.h"
#include "audio/MusicPlayer.h"

namespace {

using Samples = std::vector<Sint16>;

// The output after mixing the piece into it from sample `start` on, and the next sample to mix.
// While SDL's audio is closed, SDL_MixAudio adds signed 16-bit samples.
std::pair<Samples, uint32_t> mixed(Samples piece, uint32_t start, Samples output)
{
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    musicBuffer = reinterpret_cast<Uint8*>(piece.data());
    musicLength = uint32_t(2 * piece.size());
    musicPosition = 2 * start;
    mixMusic(nullptr, reinterpret_cast<Uint8*>(output.data()), int(2 * output.size()));
    musicBuffer = nullptr;
    return {output, musicPosition / 2};
}

// value as that many bytes, little-endian
std::string le(size_t value, int bytes)
{
    std::string text;
    for (int i = 0; i < bytes; ++i)
        text += char(value >> 8 * i);
    return text;
}

// A WAVE file: format tag, channels, rate, bytes per block, bits per sample, the format's own
// further fields, the samples.
std::string wave(size_t tag, size_t channels, size_t rate, size_t block, size_t bits, const std::string& more,
                 const std::string& data)
{
    const std::string format = le(tag, 2) + le(channels, 2) + le(rate, 4) + le(rate * block, 4) + le(block, 2) +
                               le(bits, 2) + more;
    const std::string chunks = "fmt " + le(format.size(), 4) + format + "data" + le(data.size(), 4) + data;
    return "RIFF" + le(4 + chunks.size(), 4) + "WAVE" + chunks;
}

}  // namespace

// The piece repeats from the play position as often as the output needs, added to what is there
// and clipped to the sample range; an empty output leaves the position alone, even at the end.
TEST(MixMusic, AddsThePieceRepeatedFromThePlayPositionClippedToTheSampleRange)
{
    const Samples five = {100, -200, 300, -400, 500};
    for (const auto& [piece, start, output, expected, next] : {
             std::tuple<Samples, uint32_t, Samples, Samples, uint32_t>{five, 1, {7, -7}, {-193, 293}, 3},
             {five, 3, Samples(9), {-400, 500, 100, -200, 300, -400, 500, 100, -200}, 2},
             {five, 1, Samples(4), {-200, 300, -400, 500}, 0},
             {five, 5, {}, {}, 5},
             {{30000, -30000}, 0, {5000, -5000}, {32767, -32768}, 0}})
        EXPECT_EQ(mixed(piece, start, output), std::make_pair(expected, next)) << start;
}

// What passes the check SDL loads and plays; what fails is refused like a missing file. ADPCM blocks
// of zeros are valid: step index and predictor 0.
TEST(MusicPlayer, OnlyAFileSdlCanPlayIsLoaded)
{
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0);
    testing_support::TempDataDir dir{std::vector<std::string>{}};
    const std::string samples(2000, 'x'), pcm = wave(1, 1, 22050, 2, 16, "", samples);
    const std::string ima = le(2, 2) + le(65, 2);  // 2 more bytes, samples per block
    const std::string ms = le(32, 2) + le(52, 2) + le(7, 2) + std::string(28, '\0');
    std::string badStep(36, '\0');
    badStep[2] = 89;  // past IMA's step table
    const std::pair<std::optional<std::string>, bool> files[] = {
        {std::nullopt, false},
        {pcm, true},
        {pcm.substr(0, 1000), false},
        {wave(1, 1, 22050, 2, 16, "", ""), false},
        {wave(1, 1, 100, 2, 16, "", samples), false},  // a rate no device plays
        {wave(0x55, 2, 44100, 4, 16, "", samples), false},
        {wave(0x11, 1, 22050, 36, 4, ima, std::string(72, '\0')), true},
        {wave(0x11, 1, 22050, 36, 4, ima, badStep), false},
        {wave(2, 2, 22050, 64, 4, ms, std::string(128, '\0')), true},
    };
    for (int i = 0; const auto& [bytes, plays] : files) {
        SCOPED_TRACE(i++);
        std::filesystem::remove("Data/Musik.wav");
        if (bytes)
            dir.writeFile("Data/Musik.wav", *bytes);
        MusicPlayer player;
        player.load("Data/Musik.wav");
        testing::internal::CaptureStderr();
        player.play();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), plays ? "" : "Keine Audio-Datei ge\xF6" "ffnet!");
        EXPECT_EQ(player.isPlaying(), plays);
    }
    SDL_Quit();
}

TEST(MusicPlayer, WithoutAUsableDeviceTheMusicStaysOffUntilATryWorks)
{
    testing_support::TempDataDir dir{std::vector<std::string>{}};
    dir.writeFile("Data/a.wav", wave(1, 1, 22050, 2, 16, "", "abcd"));
    MusicPlayer player;
    player.load("Data/a.wav");
    setenv("SDL_AUDIODRIVER", "nosuchdriver", 1);
    player.play();
    EXPECT_FALSE(player.isPlaying());
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    player.play();
    EXPECT_TRUE(player.isPlaying());
    player.stop();
    SDL_Quit();
}
