#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "BareGame.h"
#include "BoardText.h"
#include "TestSupport.h"
#include "gfx/Screen.h"
#include "gfx/Tileset.h"

using testing_support::BareGame;
using testing_support::boardFromBottomRows;

namespace {

using Pixels = std::vector<Uint32>;

// The RGB of an area of any surface, row by row.
Pixels pixelsOf(const SDL_Surface* surface, int left, int top, int width, int height)
{
    Pixels pixels;
    const int bytes = surface->format->BytesPerPixel;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) {
            Uint32 value = 0;
            Uint8 r, g, b;
            std::memcpy(&value, static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * bytes, bytes);
            SDL_GetRGB(value, surface->format, &r, &g, &b);
            pixels.push_back((Uint32{r} << 16) | (Uint32{g} << 8) | b);
        }
    return pixels;
}

Pixels sheetTile(int colour, int sourceY) { return pixelsOf(tileSheet, TileSize * (colour - 1), sourceY, TileSize, TileSize); }
Pixels screenCell(int column, int row) { return pixelsOf(screenSurface, TileSize * column, TileSize * row, TileSize, TileSize); }
Pixels wholeScreen() { return pixelsOf(screenSurface, 0, 0, WindowWidth, WindowHeight); }

// The cells whose pixels differ from the snapshot; -1 stands for the strip below the board.
std::set<int> changedCells(const Pixels& snapshot)
{
    const Pixels now = wholeScreen();
    std::set<int> cells;
    for (int y = 0; y < WindowHeight; ++y)
        for (int x = 0; x < WindowWidth; ++x)
            if (now[y * WindowWidth + x] != snapshot[y * WindowWidth + x])
                cells.insert(y < TileSize * BoardRows ? cellIndex(x / TileSize, y / TileSize) : -1);
    return cells;
}

class BoardDrawing : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(tileSheet, nullptr) << "the tile sheet did not load"; }
    void TearDown() override { setRemovalFrameObserver({}); }

    testing_support::TempDataDir dir{{"tileset.bmp"}};
    testing_support::DummyScreen screen{true};
    testing_support::FakeClock clock;  // no waits between the animation's frames
    BareGame game;
};

}  // namespace

TEST_F(BoardDrawing, TilesComeFromTheSelectedSetAndCellsWithoutATileKeepWhatTheScreenHeld)
{
    for (int colour = 1; colour <= TileColourCount; ++colour)
        ASSERT_NE(sheetTile(colour, TileSetBand * 2), sheetTile(colour, TileSetBand * 4)) << "colour " << colour;
    selectTileset(2);
    SDL_FillRect(screenSurface, nullptr, SDL_MapRGB(screenSurface->format, 40, 50, 60));
    const Pixels background = screenCell(0, 0);
    game.board = boardFromBottomRows({"1234567", ".7.5x.1"});
    // Values without a tile are skipped, not read from beyond the seven rectangles.
    game.cell(20, 3) = 0xFFFF;
    game.cell(24, 0) = 0x8000;

    game.drawBoard();

    for (int c = 0; c < BoardColumns; ++c)
        for (int r = 0; r < BoardRows; ++r) {
            const uint16_t v = game.cell(c, r);
            EXPECT_EQ(screenCell(c, r), v >= 1 && v <= 7 ? sheetTile(v, TileSetBand * 2) : background)
                << "column " << c << ", row " << r;
        }
}

TEST_F(BoardDrawing, RemovalRedrawsExactlyTheClearedCellsWithTheFramesOfTheFirstBand)
{
    selectTileset(3);
    game.board = boardFromBottomRows({"33.41", "2314x", "23312"});
    game.previousBoard = game.board;
    ASSERT_EQ(game.removeGroup(1, 17, 3, true), 4);
    game.cell(4, 16) = 0;  // a value without a tile vanishing is skipped as well
    const std::set<int> cleared = {cellIndex(0, 15), cellIndex(1, 15), cellIndex(1, 16), cellIndex(1, 17), cellIndex(2, 17)};
    for (int k = 1; k <= 4; ++k)
        ASSERT_NE(sheetTile(3, TileSize * k), sheetTile(3, TileSetBand * 3)) << "frame " << k;
    // The screen as the last full redraw left it, with the group still in place.
    BareGame shown;
    shown.board = game.previousBoard;
    shown.drawBoard();
    const Pixels before = wholeScreen();
    std::vector<int> frames;
    setRemovalFrameObserver([&](int frame) {
        frames.push_back(frame);
        EXPECT_EQ(changedCells(before), cleared) << "frame " << frame;
        for (int cell : cleared)
            EXPECT_EQ(screenCell(cell / BoardRows, cell % BoardRows), sheetTile(3, TileSize * frame))
                << "frame " << frame << ", cell " << cell;
    });

    game.animateRemoval();

    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(changedCells(before), cleared);
}
