#include <gtest/gtest.h>

#include "TestSupport.h"
#include "audio/MusicPlayer.h"

// The value as that many bytes, little-endian.
std::string le(size_t value, int bytes)
{
    std::string text;
    for (int i = 0; i < bytes; ++i)
        text += char(value >> 8 * i);
    return text;
}

// A WAVE file of these samples: 16-bit mono PCM, or the format of that tag (with 7 zero
// coefficient pairs for MS ADPCM), channels, bytes per block, bits and samples per block.
std::string wave(const std::string& data, int rate = 8000, int tag = 1, int channels = 1, int block = 2, int bits = 16,
                 int perBlock = 0)
{
    std::string format = le(tag, 2) + le(channels, 2) + le(rate, 4) + le(rate * block, 4) + le(block, 2) + le(bits, 2);
    // ADPCM: an extra size of 0, the samples per block, MS ADPCM's coefficients
    if (tag != 1)
        format += le(perBlock * 65536, 4) + (tag == 2 ? le(7, 2) + std::string(28, '\0') : "");
    const std::string chunks = "fmt " + le(format.size(), 4) + format + "data" + le(data.size(), 4) + data;
    return "RIFF" + le(4 + chunks.size(), 4) + "WAVE" + chunks;
}

// As often as the output needs (here its rest, then all of it, ending at its end), added to what
// is there and clipped to the sample range (SDL mixes signed 16 bits while its audio is closed).
TEST(MixMusic, RepeatsThePieceFromThePlayPositionAndClips)
{
    std::vector<Sint16> piece = {100, -30000, 30000};
    std::vector<Sint16> output = {-5000, 5000, 7, 7, 7};
    musicBuffer = reinterpret_cast<Uint8*>(piece.data());
    musicLength = 6;
    musicPosition = 2;
    mixMusic(nullptr, reinterpret_cast<Uint8*>(output.data()), 10);
    EXPECT_EQ(output, (std::vector<Sint16>{-32768, 32767, 107, -29993, 30007}));
    EXPECT_EQ(musicPosition, 0u);
    musicBuffer = nullptr;
}

// What passes the check SDL loads; what fails is refused like a missing file. ADPCM blocks of
// zeros are valid: step index and predictor 0.
TEST(MusicPlayer, PlaysOnlyAFileSdlCanLoad)
{
    testing_support::TempDataDir dir;
    std::string zeros(2000, '\0'), badStep = zeros.substr(0, 36);
    // past IMA's step table
    badStep[2] = 89;
    // "": none; a rate of 100 Hz no device plays
    const std::pair<std::string, bool> files[] = {
        {"", false},
        {wave(zeros), true},
        {wave(""), false},
        {wave(zeros, 100), false},
        {wave(zeros, 8000, 0x11, 1, 36, 4, 65), true},
        {wave(badStep, 8000, 0x11, 1, 36, 4, 65), false},
        {wave(zeros, 8000, 2, 2, 64, 4, 52), true},
    };
    for (int i = 0; const auto& [bytes, plays] : files) {
        // the link to the asset, never the asset
        std::filesystem::remove("Data/Musik.wav");
        if (!bytes.empty())
            dir.writeFile("Data/Musik.wav", bytes);
        MusicPlayer player;
        player.load("Data/Musik.wav");
        player.play();
        EXPECT_EQ(player.isPlaying(), plays) << i++;
    }
}

// A sound card that cannot be opened leaves the music off; the next try that finds one plays.
TEST(MusicPlayer, WithoutAUsableDeviceTheMusicStaysOffUntilATryWorks)
{
    testing_support::TempDataDir dir{std::vector<std::string>{}};
    dir.writeFile("Data/a.wav", wave("abcd", 22050));
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
