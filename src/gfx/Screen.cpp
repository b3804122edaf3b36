#include "gfx/Screen.h"

#include <algorithm>
#include <cassert>
#include <cstring>

SDL_Surface* screenSurface = nullptr;

namespace {

WindowMode mode;
int factor = 1;
SDL_Rect shownArea{0, 0, WindowWidth, WindowHeight};  // where the picture lies in the window
SurfacePtr picture;                                     // null at 1 x in a window
SurfacePtr shownPicture;  // the picture as the window shows it; null when the window shows nothing yet
int desktopWidth = 0;                                   // the screen before any window; 0: unknown
int desktopHeight = 0;

// Once, before the first mode is set: SDL reports the desktop's size only then.
void noteDesktopSize()
{
    static bool noted = false;
    if (noted)
        return;
    noted = true;
    if (const SDL_VideoInfo* info = SDL_GetVideoInfo()) {
        desktopWidth = info->current_w;
        desktopHeight = info->current_h;
    }
}

// A surface of the window's format, so that the magnification moves whole pixels.
SurfacePtr pictureLike(const SDL_Surface& window)
{
    const SDL_PixelFormat& f = *window.format;
    SurfacePtr surface(SDL_CreateRGBSurface(SDL_SWSURFACE, WindowWidth, WindowHeight, f.BitsPerPixel, f.Rmask,
                                            f.Gmask, f.Bmask, f.Amask));
    if (surface && f.palette)
        SDL_SetColors(surface.get(), f.palette->colors, 0, f.palette->ncolors);
    return surface;
}

// One row of the picture, every pixel repeated k times.
void widenRow(const Uint8* from, Uint8* to, int bytesPerPixel, int k)
{
    switch (bytesPerPixel) {
    case 4:
        for (int x = 0; x < WindowWidth; ++x, to += 4 * k)
            std::fill_n(reinterpret_cast<Uint32*>(to), k, reinterpret_cast<const Uint32*>(from)[x]);
        break;
    case 2:
        for (int x = 0; x < WindowWidth; ++x, to += 2 * k)
            std::fill_n(reinterpret_cast<Uint16*>(to), k, reinterpret_cast<const Uint16*>(from)[x]);
        break;
    case 1:
        for (int x = 0; x < WindowWidth; ++x, to += k)
            std::memset(to, from[x], static_cast<size_t>(k));
        break;
    default:
        for (int x = 0; x < WindowWidth; ++x)
            for (int i = 0; i < k; ++i, to += bytesPerPixel)
                std::memcpy(to, from + x * bytesPerPixel, static_cast<size_t>(bytesPerPixel));
        break;
    }
}

// Rows first..last of the picture, each widened once, then copied to the k - 1 window rows below it.
void magnify(const SDL_Surface& from, SDL_Surface& to, int first, int last)
{
    const int bytes = from.format->BytesPerPixel;
    const size_t rowBytes = static_cast<size_t>(WindowWidth * factor * bytes);
    for (int y = first; y <= last; ++y) {
        const auto* source = static_cast<const Uint8*>(from.pixels) + y * from.pitch;
        auto* target = static_cast<Uint8*>(to.pixels) + (shownArea.y + y * factor) * to.pitch + shownArea.x * bytes;
        widenRow(source, target, bytes, factor);
        for (int i = 1; i < factor; ++i)
            std::memcpy(target + i * to.pitch, target, rowBytes);
    }
}

const Uint8* row(const SDL_Surface& surface, int y) { return static_cast<const Uint8*>(surface.pixels) + y * surface.pitch; }

// Whether row y of the picture differs from what the window shows.
bool rowChanged(int y)
{
    const size_t bytes = static_cast<size_t>(WindowWidth * picture->format->BytesPerPixel);
    return !shownPicture || std::memcmp(row(*picture, y), row(*shownPicture, y), bytes) != 0;
}

void fillBlack(SDL_Surface* window)
{
    SDL_FillRect(window, nullptr, SDL_MapRGB(window->format, 0, 0, 0));
    SDL_Flip(window);
}

}  // namespace

bool openWindow(const WindowMode& wanted, int videoDepth)
{
    assert(wanted.scale >= 1);
    noteDesktopSize();
    picture.reset();
    shownPicture.reset();
    screenSurface = nullptr;
    mode = wanted;
    int width = WindowWidth * mode.scale;
    int height = WindowHeight * mode.scale;
    Uint32 flags = SDL_HWSURFACE | SDL_DOUBLEBUF;
    factor = mode.scale;
    if (mode.fullscreen) {
        flags |= SDL_FULLSCREEN;
        // The whole screen when its size is known and the picture fits on it; 800 x 600 otherwise.
        factor = std::min(desktopWidth / WindowWidth, desktopHeight / WindowHeight);
        width = factor >= 1 ? desktopWidth : WindowWidth;
        height = factor >= 1 ? desktopHeight : WindowHeight;
        factor = std::max(factor, 1);
    }
    SDL_Surface* window = SDL_SetVideoMode(width, height, videoDepth, flags);
    if (!window)
        return false;
    shownArea = SDL_Rect{static_cast<Sint16>((window->w - WindowWidth * factor) / 2),
                         static_cast<Sint16>((window->h - WindowHeight * factor) / 2),
                         static_cast<Uint16>(WindowWidth * factor), static_cast<Uint16>(WindowHeight * factor)};
    if (factor == 1 && window->w == WindowWidth && window->h == WindowHeight) {
        screenSurface = window;  // drawn on directly, as a plain window always was
        return true;
    }
    picture = pictureLike(*window);
    if (!picture)
        return false;
    fillBlack(window);
    if (window->flags & SDL_DOUBLEBUF)
        fillBlack(window);  // the other buffer too
    screenSurface = picture.get();
    return true;
}

void closeWindow()
{
    picture.reset();
    shownPicture.reset();
    screenSurface = nullptr;
}

WindowMode windowMode() { return mode; }

int shownScale() { return factor; }

void showFrame()
{
    SDL_Surface* window = SDL_GetVideoSurface();
    if (!picture || !window) {
        SDL_Flip(screenSurface);
        return;
    }
    // Only the band of rows that changed since the last frame is magnified and sent, so that a
    // tick that changes a status line costs a line, not the whole screen.
    const bool wholeWindow = (window->flags & SDL_DOUBLEBUF) != 0;
    int first = 0;
    int last = WindowHeight - 1;
    if (!wholeWindow) {
        while (first <= last && !rowChanged(first))
            ++first;
        while (last >= first && !rowChanged(last))
            --last;
        if (first > last)
            return;
    }
    if (SDL_LockSurface(window) < 0)
        return;
    magnify(*picture, *window, first, last);
    SDL_UnlockSurface(window);
    if (wholeWindow) {
        SDL_Flip(window);
        return;
    }
    if (!shownPicture)
        shownPicture = pictureLike(*window);
    for (int y = first; shownPicture && y <= last; ++y)
        std::memcpy(static_cast<Uint8*>(shownPicture->pixels) + y * shownPicture->pitch, row(*picture, y),
                    static_cast<size_t>(WindowWidth * picture->format->BytesPerPixel));
    SDL_UpdateRect(window, shownArea.x, shownArea.y + first * factor, shownArea.w,
                   static_cast<Uint32>((last - first + 1) * factor));
}

bool pictureAt(int windowX, int windowY, int16_t& x, int16_t& y)
{
    const int px = windowX - shownArea.x;
    const int py = windowY - shownArea.y;
    if (px < 0 || py < 0 || px >= shownArea.w || py >= shownArea.h)
        return false;
    x = static_cast<int16_t>(px / factor);
    y = static_cast<int16_t>(py / factor);
    return true;
}
