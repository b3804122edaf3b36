#pragma once
#include <SDL.h>

#include <cstdint>

// The loaded sound, shared with the audio callback (one sound in the whole process).
extern SDL_AudioSpec musicSpec;
extern Uint8* musicBuffer;      // null while nothing is loaded
extern uint32_t musicLength;    // bytes in musicBuffer
extern uint32_t musicPosition;  // next byte to mix

// The audio callback: adds the piece to the output, looping seamlessly at its end.
void mixMusic(void* userData, Uint8* output, int length);

class MusicPlayer {
public:
    MusicPlayer() = default;
    ~MusicPlayer();
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    void load(const char* fileName);  // once; a second load complains and keeps the first sound
    void play();
    void stop();                      // also rewinds to the first sample
    bool isPlaying() const { return playing; }

private:
    bool playing = false;
};
