#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;

const fs::path musicFile = testing_support::assetDir() / "Musik.wav";

// The game's piece as SDL's loader sees it.
class GeneratedMusic : public testing::Test {
protected:
    void SetUp() override
    {
        Uint8* buffer = nullptr;
        Uint32 length = 0;
        ASSERT_NE(SDL_LoadWAV(musicFile.c_str(), &audioFormat, &buffer, &length), nullptr) << SDL_GetError();
        for (Uint32 i = 0; i + 1 < length; i += 2)
            samples.push_back(static_cast<Sint16>(buffer[i] | buffer[i + 1] << 8));
        SDL_FreeWAV(buffer);
        ASSERT_EQ(audioFormat.format, AUDIO_S16LSB);
        ASSERT_GE(audioFormat.channels, 1);
    }

    SDL_AudioSpec audioFormat{};
    std::vector<Sint16> samples;
};

TEST_F(GeneratedMusic, IsASixteenBitPieceOfTenToThirtySecondsInAtMostTwoMegabytes)
{
    const double seconds = static_cast<double>(samples.size()) / audioFormat.channels / audioFormat.freq;
    EXPECT_GE(seconds, 10.0);
    EXPECT_LE(seconds, 30.0);
    EXPECT_LE(fs::file_size(musicFile), 2u * 1024 * 1024);
}

TEST_F(GeneratedMusic, EndRunsIntoTheStartLikeAnyTwoNeighbouringSamples)
{
    const size_t channels = audioFormat.channels;
    ASSERT_GT(samples.size(), 2 * channels);
    for (size_t c = 0; c < channels; ++c) {
        std::vector<int> steps;
        for (size_t i = c; i + channels < samples.size(); i += channels)
            steps.push_back(std::abs(samples[i + channels] - samples[i]));
        std::sort(steps.begin(), steps.end());
        const int seam = std::abs(samples[c] - samples[samples.size() - channels + c]);
        EXPECT_LE(seam, steps[steps.size() * 99 / 100]) << "channel " << c;
    }
}

// Audible all through, without a gap, a fade or a clipped peak.
TEST_F(GeneratedMusic, NeverClipsAndKeepsAnEvenLevelEverySecond)
{
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    EXPECT_GT(*low, -32767);
    EXPECT_LT(*high, 32767);

    const size_t perSecond = static_cast<size_t>(audioFormat.freq) * audioFormat.channels;
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

TEST(MusicComposer, WritesTheSameBytesEveryTime)
{
    testing_support::TempDataDir dir{std::vector<std::string>{}};
    const auto result = testing_support::runProcess({KLAKORIA_MAKE_MUSIC, "again.wav"}, dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    std::ifstream original(musicFile, std::ios::binary);
    EXPECT_TRUE(dir.readFile("again.wav") == std::string(std::istreambuf_iterator<char>(original), {}));
}

}  // namespace
