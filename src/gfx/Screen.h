#pragma once
#include <SDL.h>

#include <memory>

constexpr int WindowWidth = 800;
constexpr int WindowHeight = 600;

// The window's video surface; SDL owns it. Every drawing function draws here.
extern SDL_Surface* screenSurface;

// A surface its holder owns: freed with SDL_FreeSurface when the holder lets go of it.
struct SurfaceFree {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;
