#pragma once
#include <SDL.h>

constexpr int TileColourCount = 7;  // board colours 1..7 use tiles 0..6
constexpr int TileSetCount = 5;
constexpr int TileSetBand = 160;    // set n starts at y = 160 * n of the sheet

// The tinted tile images in the display's format: column k holds the tiles of colour k + 1.
extern SDL_Surface* tileSheet;
// Seven source rectangles into tileSheet for the selected set; created by the Application.
extern SDL_Rect* tileRects;

void loadTileset();          // needs screenSurface; a bad Data/tileset.bmp is fatal
void selectTileset(int n);   // moves all seven tileRects to the band of set n
