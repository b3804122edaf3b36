#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "app/Application.h"

namespace {

using testing_support::TempDataDir;

// The game as it starts: video and audio on the dummy drivers, the generated assets in Data/.
class StartupMusic : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO), 0) << SDL_GetError(); }
    void TearDown() override { SDL_Quit(); }

    TempDataDir dir;
};

TEST_F(StartupMusic, ThePieceIsPlayingAfterStartUpAndIsReleasedAtTheEnd)
{
    {
        testing::internal::CaptureStderr();
        Application app(32);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_TRUE(app.music.isPlaying());
        EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_PLAYING);
        // the whole piece: everything after the 44-byte header the composer writes
        EXPECT_EQ(musicLength, std::filesystem::file_size(dir.data() / "Musik.wav") - 44);
    }
    EXPECT_EQ(musicBuffer, nullptr);
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_STOPPED);
}

}  // namespace
