#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "WavBytes.h"
#include "audio/MusicPlayer.h"

namespace {

using testing_support::TempDataDir;

const char* const alreadyOpen = "Es ist bereits eine Audio-Datei ge\xF6" "ffnet!";
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
    if (!musicBuffer)
        return {};
    std::vector<Sint16> samples(musicLength / 2);
    std::memcpy(samples.data(), musicBuffer, samples.size() * 2);
    return samples;
}

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name(name)
    {
        if (const char* old = std::getenv(name))
            previous = old;
        setenv(name, value, 1);
    }
    ~ScopedEnv()
    {
        if (previous)
            setenv(name, previous->c_str(), 1);
        else
            unsetenv(name);
    }

private:
    const char* name;
    std::optional<std::string> previous;
};

// SDL's audio on the dummy driver, in an empty working directory that the test fills.
class MusicPlayerTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError(); }
    void TearDown() override { SDL_Quit(); }

    TempDataDir dir{std::vector<std::string>{}};
    const std::vector<Sint16> first = {11, -22, 33, -44, 55, -66};
    const std::vector<Sint16> second = {9, 8, 7, 6, 5, 4, 3, 2};
};

TEST_F(MusicPlayerTest, PlayAfterLoadRunsTheDeviceInTheFilesOwnFormat)
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
    SDL_UnlockAudio();
}

TEST_F(MusicPlayerTest, StopClosesTheDeviceAndTheNextPlayStartsAtTheFirstSample)
{
    dir.writeFile("Data/a.wav", wavBytes(first));
    MusicPlayer player;
    player.load("Data/a.wav");
    player.play();
    ASSERT_TRUE(player.isPlaying());
    SDL_LockAudio();
    musicPosition = 3 * 2;  // somewhere in the middle, whatever the device has mixed so far
    SDL_UnlockAudio();

    EXPECT_EQ(stderrOf([&] { player.stop(); }), "");
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_STOPPED);
    EXPECT_EQ(musicPosition, 0u);
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
    dir.writeFile("Data/b.wav", wavBytes(second));
    MusicPlayer player;
    player.load("Data/a.wav");
    EXPECT_EQ(stderrOf([&] { player.load("Data/b.wav"); }), alreadyOpen);
    EXPECT_EQ(loadedSamples(), first);
}

TEST_F(MusicPlayerTest, MissingFileLoadsSilentlyThenPlayAndStopComplainEachTime)
{
    MusicPlayer player;
    EXPECT_EQ(stderrOf([&] { player.load("Data/Musik.wav"); }), "");
    EXPECT_EQ(musicBuffer, nullptr);
    EXPECT_EQ(stderrOf([&] { player.play(); }), noneOpen);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(stderrOf([&] { player.play(); }), noneOpen);
    EXPECT_EQ(stderrOf([&] { player.stop(); }), noneOpen);
}

TEST_F(MusicPlayerTest, WavWithoutAWholeSampleCountsAsNoFile)
{
    const struct {
        const char* what;
        int strayBytes;
    } cases[] = {{"empty data chunk", 0}, {"half a sample", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dir.writeFile("Data/empty.wav", wavBytes({}, 22050, c.strayBytes));
        MusicPlayer player;
        EXPECT_EQ(stderrOf([&] { player.load("Data/empty.wav"); }), "");
        EXPECT_EQ(musicBuffer, nullptr);
        EXPECT_EQ(stderrOf([&] { player.play(); }), noneOpen);
        EXPECT_FALSE(player.isPlaying());
    }
}

TEST_F(MusicPlayerTest, WithoutAUsableDeviceTheMusicStaysOffUntilATryWorks)
{
    dir.writeFile("Data/a.wav", wavBytes(first));
    MusicPlayer player;
    player.load("Data/a.wav");
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    {
        ScopedEnv driver("SDL_AUDIODRIVER", "nosuchdriver");
        for (int attempt = 0; attempt < 2; ++attempt) {
            EXPECT_EQ(stderrOf([&] { player.play(); }), "");
            EXPECT_FALSE(player.isPlaying());
        }
    }
    player.play();
    EXPECT_TRUE(player.isPlaying());
}

TEST_F(MusicPlayerTest, DestroyingThePlayerFreesTheSoundSoAnotherOneCanLoad)
{
    dir.writeFile("Data/a.wav", wavBytes(first));
    dir.writeFile("Data/b.wav", wavBytes(second));
    {
        MusicPlayer player;
        player.load("Data/a.wav");
        player.play();
    }
    EXPECT_EQ(musicBuffer, nullptr);
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_STOPPED);
    MusicPlayer next;
    EXPECT_EQ(stderrOf([&] { next.load("Data/b.wav"); }), "");
    EXPECT_EQ(loadedSamples(), second);
}

}  // namespace
