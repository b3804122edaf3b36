#pragma once
#include <SDL.h>

constexpr int WindowWidth = 800;
constexpr int WindowHeight = 600;

// The window's video surface; SDL owns it. Every drawing function draws here.
extern SDL_Surface* screenSurface;
