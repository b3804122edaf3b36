#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <random>
#include <tuple>

#include "TestSupport.h"
#include "audio/MusicPlayer.h"

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

// A RIFF WAVE file holding data; its data chunk announces declaredBytes, or else its true size.
std::string wavFile(const std::string& data, uint16_t channels = 1, uint32_t rate = 22050, uint16_t bits = 16,
                    uint16_t tag = 1, uint32_t declaredBytes = 0)
{
    const uint32_t size = declaredBytes ? declaredBytes : static_cast<uint32_t>(data.size()), frame = channels * bits / 8u;
    std::string bytes = "RIFF";
    for (auto [value, count] : {std::pair<uint32_t, int>{36 + size, 4}, {0x45564157 /* "WAVE" */, 4}, {0x20746d66 /* "fmt " */, 4},
                                {16, 4}, {tag, 2}, {channels, 2}, {rate, 4}, {rate * frame, 4}, {frame, 2}, {bits, 2},
                                {0x61746164 /* "data" */, 4}, {size, 4}})
        for (int i = 0; i < count; ++i)
            bytes += static_cast<char>(value >> (8 * i));
    return bytes + data;
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
    dir.writeFile("Data/b.wav", wavFile(sampleBytes(16)));
    for (const auto& [channels, rate, bits, dataBytes] : {std::tuple<uint16_t, uint32_t, uint16_t, size_t>{1, 11025, 16, 1400},
                                                          {1, 8000, 8, 1001}, {2, 44100, 8, 666}, {2, 48000, 16, 4}}) {
        SCOPED_TRACE(testing::Message() << bits << " bits, " << channels << " channels");
        const std::string samples = sampleBytes(dataBytes);
        dir.writeFile("Data/Musik.wav", wavFile(samples, channels, rate, bits));
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
    const std::string samples = sampleBytes(2000), whole = wavFile(samples);
    std::string random(4000, '\0');
    std::generate(random.begin(), random.end(), std::mt19937(6));
    const std::optional<std::string> cases[] = {
        std::nullopt, "", random,
        whole.substr(0, 30),                          // cut off in the format chunk
        whole.substr(0, whole.size() / 2),            // fewer samples than announced
        wavFile(samples, 1, 22050, 16, 1, 0xFFFFFFF0),  // announcing 4 GiB
        wavFile(""), wavFile("\x11"),
        wavFile(samples, 2, 44100, 16, 0x55),  // a format SDL cannot decode
        wavFile(samples, 0), wavFile(samples, 1, 100), wavFile(samples, 1, 100000000),
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

TEST_F(MusicPlayerTest, WithoutAUsableDeviceTheMusicStaysOffUntilATryWorks)
{
    dir.writeFile("Data/a.wav", wavFile(sampleBytes(12)));
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

// Its end runs into its start no more steeply than 99 % of its own steps.
TEST(GeneratedMusic, IsASeamlessMonoLoopOfTenToThirtySecondsThatTheComposerWritesAlike)
{
    testing_support::TempDataDir dir{std::vector<std::string>{"Musik.wav"}};
    const auto again = testing_support::runProcess({KLAKORIA_MAKE_MUSIC, "again.wav"}, dir.path());
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_TRUE(dir.readFile("again.wav") == dir.readFile("Data/Musik.wav"));

    SDL_AudioSpec format{};
    Uint8* buffer = nullptr;
    Uint32 bytes = 0;
    ASSERT_NE(SDL_LoadWAV((dir.data() / "Musik.wav").c_str(), &format, &buffer, &bytes), nullptr) << SDL_GetError();
    const std::vector<Sint16> samples(reinterpret_cast<Sint16*>(buffer), reinterpret_cast<Sint16*>(buffer) + bytes / 2);
    SDL_FreeWAV(buffer);
    ASSERT_TRUE(format.format == AUDIO_S16SYS && format.channels == 1 && samples.size() > 2);
    EXPECT_TRUE(samples.size() >= 10u * format.freq && samples.size() <= 30u * format.freq) << samples.size();
    EXPECT_LE(std::filesystem::file_size(dir.data() / "Musik.wav"), 2u * 1024 * 1024);
    std::vector<int> steps;
    for (size_t i = 1; i < samples.size(); ++i)
        steps.push_back(std::abs(samples[i] - samples[i - 1]));
    std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
    EXPECT_LE(std::abs(samples.front() - samples.back()), steps[steps.size() * 99 / 100]);
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    EXPECT_TRUE(*low > -32767 && *high < 32767 && *high - *low > 16000) << *low << " .. " << *high;
}
