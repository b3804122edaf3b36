#pragma once
#include <SDL.h>

constexpr int TileColourCount = 7;  // board colours 1..7 use tiles 0..6
constexpr int TileSetCount = 5;
constexpr int TileSetBand = 160;    // set n starts at y = 160 * n of the sheet

// The tinted tile images in the display's format: column k holds the tiles of colour k + 1.
// loadTileset makes it, freeTileset frees it; null in between.
extern SDL_Surface* tileSheet;
// The source rectangles of the seven colours in the selected set.
extern SDL_Rect tileRects[TileColourCount];

void loadTileset();          // needs screenSurface; set 0 selected; a bad Data/tileset.bmp is fatal
void freeTileset();
void selectTileset(int n);   // moves all seven tileRects to the band of set n
