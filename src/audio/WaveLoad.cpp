#include "audio/WaveLoad.h"

bool loadWave(const char* fileName, SDL_AudioSpec& audio, Uint8*& buffer, uint32_t& length)
{
    SDL_RWops* file = SDL_RWFromFile(fileName, "rb");
    return file && SDL_LoadWAV_RW(file, 1, &audio, &buffer, &length);
}

void freeWave(Uint8* buffer) { SDL_FreeWAV(buffer); }
