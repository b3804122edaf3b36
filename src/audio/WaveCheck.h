#pragma once
#include <iosfwd>

// Whether a WAV file can be handed to SDL_LoadWAV_RW without harm. SDL 1.2 trusts the block
// parameters of ADPCM files: a block align of 0 divides by zero, and a block size, a sample count
// or a block header that do not fit each other make its decoders read and write past their
// blocks and tables. So MS ADPCM and IMA ADPCM pass only with a consistent format and block
// headers, PCM with all that SDL reads of its chunks; every other format is refused, as SDL
// cannot decode it anyway. Reads the file as SDL walks it, up to the end of its data chunk.
bool isSafeWave(std::istream& file);
