#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "TestSupport.h"
#include "app/Application.h"

namespace {

namespace fs = std::filesystem;

const fs::path musicFile = testing_support::assetDir() / "Musik.wav";

// The game's piece as SDL's loader sees it: 16-bit samples, as the composer writes them, at
// whatever rate and channel count its header names.
class GeneratedMusic : public testing::Test {
protected:
    void SetUp() override
    {
        Uint8* buffer = nullptr;
        ASSERT_NE(SDL_LoadWAV(musicFile.c_str(), &audioFormat, &buffer, &loadedBytes), nullptr) << SDL_GetError();
        for (Uint32 i = 0; i + 1 < loadedBytes; i += 2)
            samples.push_back(static_cast<Sint16>(buffer[i] | buffer[i + 1] << 8));
        SDL_FreeWAV(buffer);
        ASSERT_EQ(audioFormat.format, AUDIO_S16LSB);
        ASSERT_GE(audioFormat.channels, 1);
        channels = audioFormat.channels;
    }

    SDL_AudioSpec audioFormat{};
    Uint32 loadedBytes = 0;
    std::vector<Sint16> samples;
    size_t channels = 1;
};

}  // namespace

TEST_F(GeneratedMusic, IsAnEvenSeamlessLoopOfTenToThirtySecondsInAtMostTwoMegabytes)
{
    const double seconds = static_cast<double>(samples.size()) / channels / audioFormat.freq;
    EXPECT_GE(seconds, 10.0);
    EXPECT_LE(seconds, 30.0);
    EXPECT_LE(fs::file_size(musicFile), 2u * 1024 * 1024);
    for (size_t c = 0; c < channels; ++c) {
        std::vector<int> steps;
        for (size_t i = c; i + channels < samples.size(); i += channels)
            steps.push_back(std::abs(samples[i + channels] - samples[i]));
        std::sort(steps.begin(), steps.end());
        const int seam = std::abs(samples[c] - samples[samples.size() - channels + c]);
        EXPECT_LE(seam, steps[steps.size() * 99 / 100]) << "channel " << c;
    }
    // Audible all through, without a gap, a fade or a clipped peak.
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    EXPECT_GT(*low, -32767);
    EXPECT_LT(*high, 32767);
    const size_t perSecond = static_cast<size_t>(audioFormat.freq) * channels;
    std::vector<double> levels;
    for (size_t start = 0; start + perSecond <= samples.size(); start += perSecond) {
        double sum = 0.0;
        for (size_t i = start; i < start + perSecond; ++i)
            sum += static_cast<double>(samples[i]) * samples[i];
        levels.push_back(std::sqrt(sum / perSecond));
    }
    ASSERT_FALSE(levels.empty());
    const auto [quietest, loudest] = std::minmax_element(levels.begin(), levels.end());
    EXPECT_GT(*quietest, 1000.0);
    EXPECT_LT(*loudest, 2.5 * *quietest);
}

TEST_F(GeneratedMusic, PlaysWholeFromStartUpAndIsReleasedAtTheEnd)
{
    testing_support::TempDataDir dir;
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO), 0) << SDL_GetError();
    {
        testing::internal::CaptureStderr();
        Application app(32);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_TRUE(app.music.isPlaying());
        EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_PLAYING);
        EXPECT_EQ(musicLength, loadedBytes);
    }
    EXPECT_EQ(musicBuffer, nullptr);
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_STOPPED);
    SDL_Quit();
}

TEST(MusicComposer, WritesTheSameBytesEveryTime)
{
    testing_support::TempDataDir dir{std::vector<std::string>{}};
    const auto result = testing_support::runProcess({KLAKORIA_MAKE_MUSIC, "again.wav"}, dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    std::ifstream original(musicFile, std::ios::binary);
    EXPECT_TRUE(dir.readFile("again.wav") == std::string(std::istreambuf_iterator<char>(original), {}));
}
