#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "WavBytes.h"
#include "audio/MusicPlayer.h"

namespace {

const char* const noneOpen = "Keine Audio-Datei ge\xF6" "ffnet!";

template <class Action>
std::string stderrOf(Action action)
{
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
}

std::vector<Sint16> loadedSamples()
{
    std::vector<Sint16> samples(musicBuffer ? musicLength / 2 : 0);
    std::memcpy(samples.data(), musicBuffer, samples.size() * 2);
    return samples;
}

// SDL's audio on the dummy driver, in an empty working directory that the test fills.
class MusicPlayerTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError(); }
    void TearDown() override { SDL_Quit(); }

    testing_support::TempDataDir dir{std::vector<std::string>{}};
    const std::vector<Sint16> first = {11, -22, 33, -44, 55, -66};
};

TEST_F(MusicPlayerTest, PlayRunsTheDeviceInTheFilesFormatAndStopRewindsToTheFirstSample)
{
    dir.writeFile("Data/a.wav", wavBytes(first, 11025));
    MusicPlayer player;
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(stderrOf([&] {
        player.load("Data/a.wav");
        player.play();
    }), "");
    EXPECT_TRUE(player.isPlaying());
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_PLAYING);
    EXPECT_EQ(musicSpec.freq, 11025);
    EXPECT_EQ(musicSpec.format, AUDIO_S16LSB);
    EXPECT_EQ(musicSpec.channels, 1);
    EXPECT_EQ(musicSpec.callback, &mixMusic);
    SDL_LockAudio();
    EXPECT_EQ(loadedSamples(), first);
    musicPosition = 3 * 2;  // somewhere in the middle, whatever the device has mixed so far
    SDL_UnlockAudio();

    EXPECT_EQ(stderrOf([&] { player.stop(); }), "");
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_STOPPED);
    std::vector<Sint16> output(2, 0);
    mixMusic(nullptr, reinterpret_cast<Uint8*>(output.data()), 4);
    EXPECT_EQ(output, (std::vector<Sint16>{11, -22}));

    player.play();
    EXPECT_TRUE(player.isPlaying());
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_PLAYING);
}

TEST_F(MusicPlayerTest, SecondLoadComplainsAndKeepsTheFirstSound)
{
    dir.writeFile("Data/a.wav", wavBytes(first));
    dir.writeFile("Data/b.wav", wavBytes({9, 8, 7, 6, 5, 4, 3, 2}));
    MusicPlayer player;
    player.load("Data/a.wav");
    EXPECT_EQ(stderrOf([&] { player.load("Data/b.wav"); }), "Es ist bereits eine Audio-Datei ge\xF6" "ffnet!");
    EXPECT_EQ(loadedSamples(), first);
}

// A file without a single sample counts as no file: mixing it could never make progress.
TEST_F(MusicPlayerTest, MissingOrSamplelessFileLoadsSilentlyThenPlayAndStopComplainEachTime)
{
    dir.writeFile("Data/empty.wav", wavBytes({}));
    dir.writeFile("Data/half.wav", wavBytes({}, 22050, 1));
    for (const char* file : {"Data/Musik.wav", "Data/empty.wav", "Data/half.wav"}) {
        SCOPED_TRACE(file);
        MusicPlayer player;
        EXPECT_EQ(stderrOf([&] { player.load(file); }), "");
        EXPECT_EQ(musicBuffer, nullptr);
        EXPECT_EQ(stderrOf([&] { player.play(); }), noneOpen);
        EXPECT_FALSE(player.isPlaying());
        EXPECT_EQ(stderrOf([&] { player.play(); }), noneOpen);
        EXPECT_EQ(stderrOf([&] { player.stop(); }), noneOpen);
    }
}

TEST_F(MusicPlayerTest, WithoutAUsableDeviceTheMusicStaysOffUntilATryWorks)
{
    dir.writeFile("Data/a.wav", wavBytes(first));
    MusicPlayer player;
    player.load("Data/a.wav");
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    const char* working = std::getenv("SDL_AUDIODRIVER");
    const std::string driver = working ? working : "dummy";
    setenv("SDL_AUDIODRIVER", "nosuchdriver", 1);
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(stderrOf([&] { player.play(); }), "");
        EXPECT_FALSE(player.isPlaying());
    }
    setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
    player.play();
    EXPECT_TRUE(player.isPlaying());
}

}  // namespace
