// Damaged and unusual files in place of the music: each is either played in its own format or
// refused like a missing file, and the mixing always moves on through the piece.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "audio/MusicPlayer.h"

namespace {

using testing_support::TempDataDir;

const char* const noneOpen = "Keine Audio-Datei ge\xF6" "ffnet!";

void putLittleEndian(std::string& bytes, uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

struct WavHeader {
    uint16_t formatTag = 1;  // PCM
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 16;
};

// A RIFF WAVE file holding data; the data chunk announces declaredBytes (its true size unless given).
std::string wavFile(const WavHeader& h, const std::string& data, int64_t declaredBytes = -1)
{
    const uint32_t dataBytes = declaredBytes < 0 ? static_cast<uint32_t>(data.size()) : static_cast<uint32_t>(declaredBytes);
    const uint32_t frameBytes = h.channels * h.bits / 8u;
    std::string bytes = "RIFF";
    putLittleEndian(bytes, 36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    putLittleEndian(bytes, 16, 4);
    putLittleEndian(bytes, h.formatTag, 2);
    putLittleEndian(bytes, h.channels, 2);
    putLittleEndian(bytes, h.rate, 4);
    putLittleEndian(bytes, h.rate * frameBytes, 4);
    putLittleEndian(bytes, frameBytes, 2);
    putLittleEndian(bytes, h.bits, 2);
    bytes += "data";
    putLittleEndian(bytes, dataBytes, 4);
    return bytes + data;
}

// Sample bytes in which no two neighbouring bytes are alike, so every misplaced byte shows.
std::string sampleBytes(size_t count)
{
    std::string bytes;
    for (size_t i = 0; i < count; ++i)
        bytes += static_cast<char>((i * 37 + 11) % 251);
    return bytes;
}

std::string randomBytes(size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes;
    for (size_t i = 0; i < count; ++i)
        bytes += static_cast<char>(byte(random));
    return bytes;
}

template <class Action>
std::string stderrOf(Action action)
{
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
}

// SDL's audio on the dummy driver, in an empty working directory that the test fills.
class HostileMusic : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError(); }
    void TearDown() override { SDL_Quit(); }

    TempDataDir dir{std::vector<std::string>{}};
};

struct PlayableCase {
    const char* name;
    WavHeader header;
    Uint16 sdlFormat;
    size_t dataBytes;
};

}  // namespace

TEST_F(HostileMusic, EveryPcmFormatIsPlayedInItsOwnFormatAndMixedFromWhereItStands)
{
    const PlayableCase cases[] = {
        {"8 bits mono, an odd number of bytes", {1, 1, 8000, 8}, AUDIO_U8, 1001},
        {"11025 Hz, stereo, 16 bits", {1, 2, 11025, 16}, AUDIO_S16LSB, 4 * 700},
        {"8 bits stereo at 44100 Hz", {1, 2, 44100, 8}, AUDIO_U8, 2 * 333},
        {"48000 Hz mono, a single sample", {1, 1, 48000, 16}, AUDIO_S16LSB, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string samples = sampleBytes(c.dataBytes);
        dir.writeFile("Data/Musik.wav", wavFile(c.header, samples));
        MusicPlayer player;
        EXPECT_EQ(stderrOf([&] {
            player.load("Data/Musik.wav");
            player.play();
        }), "");
        ASSERT_TRUE(player.isPlaying());
        EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_PLAYING);
        EXPECT_EQ(musicSpec.freq, static_cast<int>(c.header.rate));
        EXPECT_EQ(musicSpec.channels, c.header.channels);
        EXPECT_EQ(musicSpec.format, c.sdlFormat);
        ASSERT_EQ(musicLength, samples.size());

        // A request of three pieces and a bit, from a place in the middle, into the device's
        // silence: the piece comes out byte for byte, wrapping around as often as needed.
        const uint32_t frame = c.header.channels * c.header.bits / 8u;
        SDL_LockAudio();
        musicPosition = musicLength / frame / 2 * frame;
        const uint32_t start = musicPosition;
        std::vector<Uint8> output(3 * musicLength + 5 * frame, musicSpec.silence);
        mixMusic(nullptr, output.data(), static_cast<int>(output.size()));
        const uint32_t end = musicPosition;
        SDL_UnlockAudio();
        std::string expected;
        for (size_t i = 0; i < output.size(); ++i)
            expected += samples[(start + i) % samples.size()];
        EXPECT_TRUE(std::string(output.begin(), output.end()) == expected) << "the mixed bytes differ from the piece";
        EXPECT_EQ(end, (start + output.size()) % musicLength);
    }
}

TEST_F(HostileMusic, AFileThatCannotBePlayedIsRefusedLikeAMissingOne)
{
    const std::string samples = sampleBytes(2000);
    const std::string whole = wavFile({}, samples);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"zero bytes", ""},
        {"random bytes", randomBytes(4000, 6)},
        {"a BMP renamed", "BM" + randomBytes(3000, 1)},
        {"the header cut off in the format chunk", whole.substr(0, 30)},
        {"the samples cut off: fewer than the data chunk announces", whole.substr(0, whole.size() / 2)},
        {"a data chunk announcing 4 GiB", wavFile({}, samples, 0xFFFFFFF0)},
        {"no data chunk at all", whole.substr(0, 36)},
        {"a format SDL cannot decode", wavFile({0x55, 2, 44100, 16}, samples)},
        {"12 bits per sample", wavFile({1, 1, 22050, 12}, samples)},
        {"no channels", wavFile({1, 0, 22050, 16}, samples)},
        // Rates that no device plays: converting them would overrun SDL's list of conversion steps.
        {"100 Hz", wavFile({1, 1, 100, 16}, samples)},
        {"1 Hz", wavFile({1, 2, 1, 8}, samples)},
        {"100 MHz", wavFile({1, 1, 100000000, 16}, samples)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dir.writeFile("Data/Musik.wav", c.bytes);
        MusicPlayer player;
        EXPECT_EQ(stderrOf([&] { player.load("Data/Musik.wav"); }), "");
        EXPECT_EQ(musicBuffer, nullptr);
        EXPECT_EQ(stderrOf([&] { player.play(); }), noneOpen);
        EXPECT_FALSE(player.isPlaying());
        EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_STOPPED);
    }
}
