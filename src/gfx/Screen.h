#pragma once
#include <SDL.h>

#include <cstdint>
#include <memory>

constexpr int WindowWidth = 800;
constexpr int WindowHeight = 600;

// The 800 x 600 picture every drawing function draws on: the window's own surface at 1 x in a
// window, a surface of its own otherwise. Only openWindow sets it.
extern SDL_Surface* screenSurface;

// A surface its holder owns: freed with SDL_FreeSurface when the holder lets go of it.
struct SurfaceFree {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;

// How the picture reaches the screen: in a window magnified by a whole factor, or fullscreen at the
// largest whole factor that fits the screen, centred on black. Every pixel becomes a square of
// factor x factor pixels (nearest neighbour, crisp edges).
struct WindowMode {
    int scale = 1;
    bool fullscreen = false;
};

// Opens the window in a mode, or reopens it in another one; the picture then holds nothing
// and wants a whole frame. videoDepth 0 takes the display's depth. False when SDL cannot set the
// mode (SDL_GetError says why); screenSurface is then null.
bool openWindow(const WindowMode& mode, int videoDepth = 0);
// Frees a picture of its own; the window itself goes with SDL.
void closeWindow();
WindowMode windowMode();
// The factor the picture is shown at: the window's, or the one fullscreen found.
int shownScale();

// The picture to the screen, magnified as the mode asks: the one way a frame is shown.
void showFrame();

// The point of the picture under a point of the window; false on the black border around it.
bool pictureAt(int windowX, int windowY, int16_t& x, int16_t& y);
