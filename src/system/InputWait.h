#pragma once
#include <cstdint>

// Returns once the window may have input (the X connection has something to read, or Xlib holds
// events already) or after `milliseconds`, whichever comes first. Without an X connection (SDL's
// dummy driver) there is nothing to wait on, and it sleeps at most 5 ms.
void waitForInput(uint32_t milliseconds);
