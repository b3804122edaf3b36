#pragma once
#include <cstdint>

// The one clock of the game: the main loop's tick and every game clock read it.
// Tests replace its source so that no test waits for real time.
uint32_t currentTicks();
using TickSource = uint32_t (*)();
void setTickSource(TickSource source);  // nullptr restores SDL_GetTicks

// The pauses between the frames of the removal animation. Tests switch them off.
void animationDelay(uint32_t milliseconds);
void setAnimationWaits(bool enabled);
