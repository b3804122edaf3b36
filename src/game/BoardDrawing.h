#pragma once
#include <functional>

#include "game/rules/Board.h"
#include "game/rules/GameRules.h"

// The board's tiles from the selected set onto the screen; empty cells keep what the screen
// holds. Needs the tile sheet.
void drawBoard(const Board& board);

// The keyboard's cursor: a frame inside the cell, black, white and black, that stands out on every
// tile and on the empty background.
void drawCellCursor(Cell cell);

// The removed tiles vanish in four frames from the sheet's first band, each flipped to the screen
// with a short wait between them; nothing else is drawn. Nothing happens when nothing was removed.
void animateRemoval(const Removal& removal);

// Tests watch the removal animation frame by frame: the observer is called after each flip with
// the frame number 1..4. An empty function removes it.
using RemovalFrameObserver = std::function<void(int frame)>;
void setRemovalFrameObserver(RemovalFrameObserver observer);
