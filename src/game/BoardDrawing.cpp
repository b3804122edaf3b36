#include <utility>

#include "app/Clock.h"
#include "game/Game.h"
#include "gfx/Screen.h"
#include "gfx/Tileset.h"

namespace {

RemovalFrameObserver frameObserver;

constexpr int RemovalFrames = 4;
constexpr uint32_t RemovalFrameMilliseconds = 30;

// Only colours 1..7 have a tile; anything else would read past tileRects.
bool hasTile(uint16_t value) { return value >= 1 && value <= TileColourCount; }

bool canDraw() { return screenSurface && tileSheet && tileRects; }

void blitTile(SDL_Rect source, int column, int row)
{
    SDL_Rect destination{static_cast<Sint16>(column * TileSize), static_cast<Sint16>(row * TileSize), 0, 0};
    SDL_BlitSurface(tileSheet, &source, screenSurface, &destination);
}

}  // namespace

void setRemovalFrameObserver(RemovalFrameObserver observer) { frameObserver = std::move(observer); }

void Game::drawBoard() const
{
    if (!canDraw())
        return;
    for (int c = 0; c < BoardColumns; ++c)
        for (int r = 0; r < BoardRows; ++r) {
            const uint16_t v = cell(c, r);
            if (hasTile(v))
                blitTile(tileRects[v - 1], c, r);
        }
}

void Game::animateRemoval() const
{
    if (!canDraw())
        return;
    for (int frame = 1; frame <= RemovalFrames; ++frame) {
        for (int c = 0; c < BoardColumns; ++c)
            for (int r = 0; r < BoardRows; ++r) {
                const int i = cellIndex(c, r);
                const uint16_t p = previousBoard[i];
                if (p == board[i] || !hasTile(p))
                    continue;
                // The vanishing frames live in the first band of the sheet, whichever set is shown.
                SDL_Rect source = tileRects[p - 1];
                source.y = static_cast<Sint16>(frame * TileSize);
                blitTile(source, c, r);
            }
        SDL_Flip(screenSurface);
        if (frameObserver)
            frameObserver(frame);
        animationDelay(RemovalFrameMilliseconds);
    }
}
