#pragma once
#include <SDL.h>

#include <cstdint>

// The samples of a WAV file that isSafeWave (WaveCheck.h) passed, as the audio callback mixes them:
// fills audio (rate, format, channels, samples per callback) and hands over a buffer of length bytes.
// False when the file cannot be read or decoded; nothing is handed over then. On the desktop
// SDL decodes (WaveLoad.cpp); in the browser, whose SDL has no decoder, WaveLoadWeb.cpp does.
bool loadWave(const char* fileName, SDL_AudioSpec& audio, Uint8*& buffer, uint32_t& length);
// Gives back a buffer loadWave handed over.
void freeWave(Uint8* buffer);
