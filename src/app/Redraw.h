#pragma once
#include <SDL.h>

// The one redraw request: an SDL_USEREVENT with code 0 and no data. The main loop answers it
// by drawing a frame; nothing else draws outside the removal animation.
extern SDL_Event redrawEvent;
void requestRedraw();
