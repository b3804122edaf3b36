#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "TestSupport.h"

namespace fs = std::filesystem;

TEST(GeneratedMusic, IsAnEvenSeamlessMonoLoopOfTenToThirtySecondsInAtMostTwoMegabytes)
{
    const fs::path file = testing_support::assetDir() / "Musik.wav";
    SDL_AudioSpec format{};
    Uint8* buffer = nullptr;
    Uint32 bytes = 0;
    ASSERT_NE(SDL_LoadWAV(file.c_str(), &format, &buffer, &bytes), nullptr) << SDL_GetError();
    std::vector<Sint16> samples(bytes / 2);
    std::memcpy(samples.data(), buffer, 2 * samples.size());
    SDL_FreeWAV(buffer);
    ASSERT_TRUE(format.format == AUDIO_S16SYS && format.channels == 1 && samples.size() > 2);
    const double seconds = static_cast<double>(samples.size()) / format.freq;
    EXPECT_TRUE(seconds >= 10.0 && seconds <= 30.0) << seconds;
    EXPECT_LE(fs::file_size(file), 2u * 1024 * 1024);

    // The end runs into the start no more steeply than 99 % of the piece's own steps.
    std::vector<int> steps;
    for (size_t i = 1; i < samples.size(); ++i)
        steps.push_back(std::abs(samples[i] - samples[i - 1]));
    std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
    EXPECT_LE(std::abs(samples.front() - samples.back()), steps[steps.size() * 99 / 100]);

    // Audible all through, without a gap, a fade or a clipped peak.
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    EXPECT_TRUE(*low > -32767 && *high < 32767) << *low << " .. " << *high;
    std::vector<double> levels;
    const size_t second = static_cast<size_t>(format.freq);
    for (size_t start = 0; start + second <= samples.size(); start += second) {
        double sum = 0.0;
        for (size_t i = start; i < start + second; ++i)
            sum += static_cast<double>(samples[i]) * samples[i];
        levels.push_back(std::sqrt(sum / second));
    }
    const auto [quietest, loudest] = std::minmax_element(levels.begin(), levels.end());
    EXPECT_GT(*quietest, 1000.0);
    EXPECT_LT(*loudest, 2.5 * *quietest);
}

TEST(GeneratedMusic, TheComposerWritesTheSameBytesEveryTime)
{
    testing_support::TempDataDir dir{std::vector<std::string>{"Musik.wav"}};
    const auto result = testing_support::runProcess({KLAKORIA_MAKE_MUSIC, "again.wav"}, dir.path());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(dir.readFile("again.wav") == dir.readFile("Data/Musik.wav"));
}
