#include "audio/MusicPlayer.h"

#include <cstdio>
#include <fstream>

#include "audio/WaveCheck.h"
#include "audio/WaveLoad.h"
#include "system/Files.h"

SDL_AudioSpec musicSpec{};
Uint8* musicBuffer = nullptr;
uint32_t musicLength = 0;
uint32_t musicPosition = 0;

namespace {

void reportNotLoaded() { std::fprintf(stderr, "Keine Audio-Datei ge\xF6" "ffnet!"); }

// SDL brings a rate to the device's through a chain of halving or doubling steps with room for
// about ten; a rate far outside what any device plays overruns that chain and corrupts memory.
// Between these two, every device rate from 8000 to 192000 Hz is reached within the room.
constexpr int LowestRate = 4000;
constexpr int HighestRate = 384000;

// A file without a single sample counts as no file: mixing it could never make progress.
bool playable(const SDL_AudioSpec& audioFormat, uint32_t length)
{
    return length > 0 && audioFormat.freq >= LowestRate && audioFormat.freq <= HighestRate;
}

}  // namespace

void mixMusic(void* /*userData*/, Uint8* output, int length)
{
    // An empty piece would never advance; it is refused at load, this only guards direct calls.
    if (!musicBuffer || musicLength == 0 || length <= 0)
        return;
    uint32_t wanted = static_cast<uint32_t>(length);
    uint32_t remaining = musicLength - musicPosition;
    const Uint8* source = musicBuffer + musicPosition;
    // Reaching the end inside one buffer carries on from the first byte, as often as needed.
    while (remaining <= wanted) {
        SDL_MixAudio(output, source, remaining, SDL_MIX_MAXVOLUME);
        output += remaining;
        wanted -= remaining;
        source = musicBuffer;
        remaining = musicLength;
        musicPosition = 0;
    }
    SDL_MixAudio(output, source, wanted, SDL_MIX_MAXVOLUME);
    musicPosition += wanted;
}

MusicPlayer::~MusicPlayer()
{
    if (!musicBuffer)
        return;
    stop();
    freeWave(musicBuffer);
    musicBuffer = nullptr;
    musicLength = 0;
}

void MusicPlayer::load(const char* fileName)
{
    if (musicBuffer) {
        std::fprintf(stderr, "Es ist bereits eine Audio-Datei ge\xF6" "ffnet!");
        return;
    }
    // The piece may be any file the player put there. Anything but a regular file counts as
    // missing (opening a FIFO would wait for ever); SDL sees only a file that cannot harm it.
    std::ifstream checked;
    if (isRegularFile(fileName))
        checked.open(fileName, std::ios::binary);
    if (!checked.is_open() || !isSafeWave(checked))
        return;
    if (!loadWave(fileName, musicSpec, musicBuffer, musicLength)) {
        musicBuffer = nullptr;
        musicLength = 0;
        return;
    }
    if (!playable(musicSpec, musicLength)) {
        freeWave(musicBuffer);
        musicBuffer = nullptr;
        musicLength = 0;
        return;
    }
    musicPosition = 0;
    musicSpec.callback = mixMusic;
    musicSpec.userdata = nullptr;
}

void MusicPlayer::play()
{
    if (!musicBuffer) {
        reportNotLoaded();
        return;
    }
    // Without a device the music stays off, so the menu keeps offering to switch it on. SDL
    // keeps a failed driver start-up as "initialised without a driver"; closing resets that,
    // so the next click really tries again.
    if (SDL_OpenAudio(&musicSpec, nullptr) < 0) {
        SDL_CloseAudio();
        return;
    }
    playing = true;
    SDL_PauseAudio(0);
}

void MusicPlayer::stop()
{
    if (!musicBuffer) {
        reportNotLoaded();
        return;
    }
    playing = false;
    SDL_PauseAudio(1);
    // Closing waits for the audio thread to end, so the rewind below cannot race a callback
    // that was still running when the device was paused.
    SDL_CloseAudio();
    musicPosition = 0;
}
