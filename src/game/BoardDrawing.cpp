#include "game/BoardDrawing.h"

#include <cassert>
#include <utility>

#include "gfx/Screen.h"
#include "gfx/Tileset.h"
#include "system/Clock.h"

namespace {

RemovalFrameObserver frameObserver;

constexpr int RemovalFrames = 4;
constexpr uint32_t RemovalFrameMilliseconds = 30;

void blitTile(SDL_Rect source, int index)
{
    SDL_Rect destination{static_cast<Sint16>(index / BoardRows * TileSize),
                         static_cast<Sint16>(index % BoardRows * TileSize), 0, 0};
    SDL_BlitSurface(tileSheet, &source, screenSurface, &destination);
}

// The sheet's rectangle of colour `value` in the selected set.
SDL_Rect tileOf(uint16_t value)
{
    assert(value <= TileColourCount);
    return tileRects[value - 1];
}

}  // namespace

void setRemovalFrameObserver(RemovalFrameObserver observer) { frameObserver = std::move(observer); }

void drawBoard(const Board& board)
{
    assert(screenSurface && tileSheet);
    for (int i = 0; i < BoardCells; ++i)
        if (holdsTile(board[i]))
            blitTile(tileOf(board[i]), i);
}

void animateRemoval(const Removal& removal)
{
    if (removal.removed == 0)
        return;
    assert(screenSurface && tileSheet);
    for (int frame = 1; frame <= RemovalFrames; ++frame) {
        for (int i = 0; i < BoardCells; ++i) {
            const uint16_t before = removal.before[i];
            if (before == removal.cleared[i] || !holdsTile(before))
                continue;
            // The vanishing frames live in the first band of the sheet, whichever set is shown.
            SDL_Rect source = tileOf(before);
            source.y = static_cast<Sint16>(frame * TileSize);
            blitTile(source, i);
        }
        showFrame();
        if (frameObserver)
            frameObserver(frame);
        animationDelay(RemovalFrameMilliseconds);
    }
}

void drawCellCursor(Cell cell)
{
    assert(onBoard(cell.column, cell.row));
    const Uint32 rings[] = {SDL_MapRGB(screenSurface->format, 0, 0, 0), SDL_MapRGB(screenSurface->format, 255, 255, 255),
                            SDL_MapRGB(screenSurface->format, 255, 255, 255), SDL_MapRGB(screenSurface->format, 0, 0, 0)};
    for (int i = 0; i < 4; ++i) {
        const auto left = static_cast<Sint16>(cell.column * TileSize + i);
        const auto top = static_cast<Sint16>(cell.row * TileSize + i);
        const auto size = static_cast<Uint16>(TileSize - 2 * i);
        SDL_Rect edges[] = {{left, top, size, 1}, {left, static_cast<Sint16>(top + size - 1), size, 1},
                            {left, top, 1, size}, {static_cast<Sint16>(left + size - 1), top, 1, size}};
        for (SDL_Rect& edge : edges)
            SDL_FillRect(screenSurface, &edge, rings[i]);
    }
}
