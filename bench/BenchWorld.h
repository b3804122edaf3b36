#pragma once
#include <cstdint>

#include "game/rules/Board.h"

class Application;

// The one Application the drawing benchmarks share: SDL video and audio (dummy drivers) and
// SDL_ttf are started, the working directory is a temporary folder whose Data/ links to the
// generated assets, and the Application is built in 32 bits with the real tile sheet and music.
// Fonts stay open between texts as in the game. Made on first use; shutDownBenchWorld() (from
// main) deletes it and the folder.
Application& benchApplication();
// The world's Application replaced by a new one on the main menu, so that a benchmark starts where
// the player does (the old one writes its lists back as it goes).
Application& freshBenchApplication();
void shutDownBenchWorld();
// Whether the world's FontCache lives (it does unless switched off for a comparison).
void keepFontsOpen(bool kept);

// A board whose every cell holds one of colours, the same for the same seed.
Board fullRandomBoard(int colours, uint32_t seed);

// The cell of the largest group of the board, so that a click there removes and moves the most.
Cell largestGroupCell(const Board& board);
