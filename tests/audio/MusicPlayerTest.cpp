// The player on SDL's dummy audio driver: any PCM format SDL loads plays in its own format, and a
// file that cannot be played is refused like a missing one.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>

#include "TestSupport.h"
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
    const std::vector<Sint16> piece = {100, -200, 300, -400, 500};
    use(piece);
    const struct {
        uint32_t startSample;
        size_t samples;
        uint32_t endSample;  // where the next callback goes on
    } requests[] = {
        {1, 2, 3},   // inside the piece
        {3, 13, 1},  // the tail, twice the whole piece, and one more sample
        {1, 4, 0},   // ends exactly at the end
        {2, 0, 2},   // an empty request changes nothing
    };
    for (const auto& r : requests) {
        musicPosition = r.startSample * 2;
        const std::vector<Sint16> output = mix(std::vector<Sint16>(r.samples, 0));
        for (size_t i = 0; i < r.samples; ++i)
            EXPECT_EQ(output[i], piece[(r.startSample + i) % piece.size()]) << r.startSample << ", sample " << i;
        EXPECT_EQ(musicPosition, r.endSample * 2) << r.startSample << " + " << r.samples;
    }
}

// An empty piece could never advance: it must leave the output alone instead of spinning.
TEST_F(MixMusic, AddsToWhatTheOutputHoldsClipsAtTheSampleRangeAndAddsNothingWithoutASound)
{
    use({1000, 30000, -30000, -400, 32767, -32768});
    EXPECT_EQ(mix({-1000, 5000, -5000, 7, 1, -1}), (std::vector<Sint16>{0, 32767, -32768, -393, 32767, -32768}));
    musicLength = 0;
    EXPECT_EQ(mix({3, -4, 5}), (std::vector<Sint16>{3, -4, 5}));
    use({});
    EXPECT_EQ(mix({3, -4, 5}), (std::vector<Sint16>{3, -4, 5}));
}

namespace {

const char* const noneOpen = "Keine Audio-Datei ge\xF6" "ffnet!";

struct WavFormat {
    uint16_t tag = 1;  // PCM
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 16;
};

// A RIFF WAVE file holding data; its data chunk announces declaredBytes, or else its true size.
std::string wavFile(const WavFormat& f, const std::string& data, uint32_t declaredBytes = 0)
{
    std::string bytes;
    auto put = [&](uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            bytes += static_cast<char>(value >> (8 * i));
    };
    const uint32_t size = declaredBytes ? declaredBytes : static_cast<uint32_t>(data.size());
    const uint32_t frame = f.channels * f.bits / 8u;
    bytes += "RIFF";
    put(36 + size, 4);
    bytes += "WAVEfmt ";
    for (auto [value, count] : {std::pair<uint32_t, int>{16, 4}, {f.tag, 2}, {f.channels, 2}, {f.rate, 4},
                                {f.rate * frame, 4}, {frame, 2}, {f.bits, 2}, {0x61746164 /* "data" */, 4}, {size, 4}})
        put(value, count);
    return bytes + data;
}

// Sample bytes in which no two neighbours are alike, so that every misplaced byte shows.
std::string sampleBytes(size_t count)
{
    std::string bytes;
    for (size_t i = 0; i < count; ++i)
        bytes += static_cast<char>((i * 37 + 11) % 251);
    return bytes;
}

template <class Action>
std::string stderrOf(Action action)
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

TEST_F(MusicPlayerTest, EveryPcmFormatPlaysInItsOwnFormatASecondLoadIsRefusedAndStopRewinds)
{
    const struct {
        const char* name;
        WavFormat format;
        Uint16 sdlFormat;
        size_t dataBytes;
    } cases[] = {
        {"16 bits mono at 11025 Hz", {1, 1, 11025, 16}, AUDIO_S16LSB, 2 * 700},
        {"8 bits mono, an odd number of bytes", {1, 1, 8000, 8}, AUDIO_U8, 1001},
        {"8 bits stereo at 44100 Hz", {1, 2, 44100, 8}, AUDIO_U8, 2 * 333},
        {"16 bits stereo at 48000 Hz, a single sample", {1, 2, 48000, 16}, AUDIO_S16LSB, 4},
    };
    dir.writeFile("Data/b.wav", wavFile({}, sampleBytes(16)));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string samples = sampleBytes(c.dataBytes);
        dir.writeFile("Data/Musik.wav", wavFile(c.format, samples));
        MusicPlayer player;
        EXPECT_FALSE(player.isPlaying());
        EXPECT_EQ(stderrOf([&] {
            player.load("Data/Musik.wav");
            player.play();
        }), "");
        ASSERT_TRUE(player.isPlaying());
        EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_PLAYING);
        EXPECT_EQ(musicSpec.freq, static_cast<int>(c.format.rate));
        EXPECT_EQ(musicSpec.channels, c.format.channels);
        EXPECT_EQ(musicSpec.format, c.sdlFormat);
        EXPECT_EQ(musicSpec.callback, &mixMusic);
        EXPECT_EQ(stderrOf([&] { player.load("Data/b.wav"); }), "Es ist bereits eine Audio-Datei ge\xF6" "ffnet!");
        ASSERT_NE(musicBuffer, nullptr);
        EXPECT_TRUE(std::string(reinterpret_cast<const char*>(musicBuffer), musicLength) == samples);

        SDL_LockAudio();
        musicPosition = musicLength / 2;  // wherever the device has got to
        SDL_UnlockAudio();
        EXPECT_EQ(stderrOf([&] { player.stop(); }), "");
        EXPECT_FALSE(player.isPlaying());
        EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_STOPPED);
        EXPECT_EQ(musicPosition, 0u) << "switched on again, the piece starts at its first sample";
        player.play();
        EXPECT_TRUE(player.isPlaying());
    }
    EXPECT_EQ(musicBuffer, nullptr) << "the sound outlives its player";
    EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_STOPPED);
}

// A file without a single sample could never make progress in the mixing, and a rate that no
// device plays would overrun SDL's chain of conversion steps.
TEST_F(MusicPlayerTest, AFileThatCannotBePlayedIsRefusedLikeAMissingOneAndEveryUseComplains)
{
    const std::string samples = sampleBytes(2000);
    const std::string whole = wavFile({}, samples);
    std::string random(4000, '\0');
    std::generate(random.begin(), random.end(), std::mt19937(6));
    const struct {
        const char* name;
        std::optional<std::string> bytes;
    } cases[] = {
        {"no file", std::nullopt},
        {"zero bytes", ""},
        {"random bytes", random},
        {"the header cut off in the format chunk", whole.substr(0, 30)},
        {"fewer samples than the data chunk announces", whole.substr(0, whole.size() / 2)},
        {"a data chunk announcing 4 GiB", wavFile({}, samples, 0xFFFFFFF0)},
        {"no samples", wavFile({}, "")},
        {"half a sample", wavFile({}, "\x11")},
        {"a format SDL cannot decode", wavFile({0x55, 2, 44100, 16}, samples)},
        {"no channels", wavFile({1, 0, 22050, 16}, samples)},
        {"100 Hz", wavFile({1, 1, 100, 16}, samples)},
        {"100 MHz", wavFile({1, 1, 100000000, 16}, samples)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(dir.data() / "Musik.wav");
        if (c.bytes)
            dir.writeFile("Data/Musik.wav", *c.bytes);
        MusicPlayer player;
        EXPECT_EQ(stderrOf([&] { player.load("Data/Musik.wav"); }), "");
        EXPECT_EQ(musicBuffer, nullptr);
        for (int click = 0; click < 2; ++click)
            EXPECT_EQ(stderrOf([&] { player.play(); }), noneOpen);
        EXPECT_FALSE(player.isPlaying());
        EXPECT_EQ(SDL_GetAudioStatus(), SDL_AUDIO_STOPPED);
        EXPECT_EQ(stderrOf([&] { player.stop(); }), noneOpen);
    }
}

TEST_F(MusicPlayerTest, WithoutAUsableDeviceTheMusicStaysOffUntilATryWorks)
{
    dir.writeFile("Data/a.wav", wavFile({}, sampleBytes(12)));
    MusicPlayer player;
    player.load("Data/a.wav");
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    const char* working = std::getenv("SDL_AUDIODRIVER");
    const std::string driver = working ? working : "dummy";
    setenv("SDL_AUDIODRIVER", "nosuchdriver", 1);
    for (int click = 0; click < 2; ++click) {
        EXPECT_EQ(stderrOf([&] { player.play(); }), "");
        EXPECT_FALSE(player.isPlaying());
    }
    setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
    player.play();
    EXPECT_TRUE(player.isPlaying());
}
