#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "audio/MusicPlayer.h"

namespace {

// Mixes straight into buffers of signed 16-bit samples: with SDL's audio closed SDL_MixAudio
// mixes signed 16-bit, the format set here, so no device is needed.
class MixMusic : public testing::Test {
protected:
    void SetUp() override
    {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        musicSpec = SDL_AudioSpec{};
        musicSpec.format = AUDIO_S16SYS;
        musicSpec.channels = 1;
        use({100, -200, 300, -400, 500});
    }
    void TearDown() override { use({}); }

    void use(std::vector<Sint16> samples)
    {
        sound = std::move(samples);
        musicBuffer = sound.empty() ? nullptr : reinterpret_cast<Uint8*>(sound.data());
        musicLength = static_cast<uint32_t>(sound.size() * sizeof(Sint16));
        musicPosition = 0;
    }
    static std::vector<Sint16> mix(std::vector<Sint16> output)
    {
        mixMusic(nullptr, reinterpret_cast<Uint8*>(output.data()), static_cast<int>(output.size() * sizeof(Sint16)));
        return output;
    }

    std::vector<Sint16> sound;
};

}  // namespace

TEST_F(MixMusic, FillsEveryRequestWithThePieceRepeatedFromThePlayPosition)
{
    const struct {
        uint32_t startSample;
        size_t samples;
        uint32_t endSample;  // where the next callback goes on
    } requests[] = {
        {1, 2, 3},   // inside the piece
        {3, 13, 1},  // the tail, twice the whole piece, and one more sample
        {1, 4, 0},   // ends exactly at the end
        {0, 10, 0},  // exactly twice the piece
        {4, 1, 0},   // the last sample alone
        {2, 0, 2},   // an empty request changes nothing
    };
    const std::vector<Sint16> piece = sound;
    for (const auto& r : requests) {
        SCOPED_TRACE(testing::Message() << "start " << r.startSample << ", " << r.samples << " samples");
        musicPosition = r.startSample * 2;
        const std::vector<Sint16> output = mix(std::vector<Sint16>(r.samples, 0));
        for (size_t i = 0; i < r.samples; ++i)
            EXPECT_EQ(output[i], piece[(r.startSample + i) % piece.size()]) << "sample " << i;
        EXPECT_EQ(musicPosition, r.endSample * 2);
    }
}

TEST_F(MixMusic, AddsToWhatTheOutputHoldsAndClipsAtTheSampleRange)
{
    use({1000, 30000, -30000, -400, 32767, -32768});
    EXPECT_EQ(mix({-1000, 5000, -5000, 7, 1, -1}), (std::vector<Sint16>{0, 32767, -32768, -393, 32767, -32768}));
}

TEST_F(MixMusic, AnEmptyOrMissingSoundLeavesTheOutputAsItWasInsteadOfSpinning)
{
    musicLength = 0;
    EXPECT_EQ(mix({3, -4, 5}), (std::vector<Sint16>{3, -4, 5}));
    use({});
    EXPECT_EQ(mix({3, -4, 5}), (std::vector<Sint16>{3, -4, 5}));
}
