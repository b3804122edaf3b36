#include <gtest/gtest.h>

#include <set>

#include "BoardText.h"
#include "TestSupport.h"
#include "game/BoardDrawing.h"
#include "gfx/Screen.h"
#include "gfx/Tileset.h"

using namespace testing_support;

namespace {

using Pixels = std::vector<Uint32>;

Uint32 pixel(const SDL_Surface* surface, int x, int y) { return static_cast<Uint32*>(surface->pixels)[y * surface->pitch / 4 + x]; }

Pixels square(const SDL_Surface* surface, int left, int top)
{
    Pixels pixels;
    for (int i = 0; i < TileSize * TileSize; ++i)
        pixels.push_back(pixel(surface, left + i % TileSize, top + i / TileSize));
    return pixels;
}

Pixels sheetTile(int colour, int sourceY) { return square(tileSheet, TileSize * (colour - 1), sourceY); }
Pixels screenCell(int cell) { return square(screenSurface, TileSize * (cell / BoardRows), TileSize * (cell % BoardRows)); }

class BoardDrawing : public ::testing::Test {
protected:
    void SetUp() override { SDL_FillRect(screenSurface, nullptr, SDL_MapRGB(screenSurface->format, 40, 50, 60)); }
    void TearDown() override { setRemovalFrameObserver({}); }

    TempDataDir dir{{"tileset.bmp"}};
    DummyScreen screen{true};
    FakeClock clock;  // no waits between the animation's frames
};

}  // namespace

TEST_F(BoardDrawing, TilesComeFromTheSelectedSetAndEmptyCellsKeepTheScreen)
{
    ASSERT_NE(sheetTile(1, TileSetBand * 2), sheetTile(1, TileSetBand * 4));
    selectTileset(2);
    const Pixels background = screenCell(0);
    const Board board = boardAt(0, 0, {"1.3", "72.", ".5."});
    drawBoard(board);
    for (int cell = 0; cell < BoardCells; ++cell)
        EXPECT_EQ(screenCell(cell), board[cell] ? sheetTile(board[cell], TileSetBand * 2) : background) << cell;
}

TEST_F(BoardDrawing, RemovalRedrawsExactlyTheClearedCellsWithTheFramesOfTheFirstBand)
{
    selectTileset(3);
    Board board = boardFromBottomRows({"33.41", "23142", "23312"});
    drawBoard(board);
    std::vector<Pixels> before;
    for (int cell = 0; cell < BoardCells; ++cell)
        before.push_back(screenCell(cell));
    const std::set<int> cleared = {cellIndex(0, 15), cellIndex(1, 15), cellIndex(1, 16), cellIndex(1, 17), cellIndex(2, 17)};
    std::vector<int> frames;
    setRemovalFrameObserver([&](int frame) {
        frames.push_back(frame);
        for (int cell = 0; cell < BoardCells; ++cell)
            EXPECT_EQ(screenCell(cell), cleared.count(cell) ? sheetTile(3, TileSize * frame) : before[cell]) << frame;
    });
    animateRemoval(removeGroupAt(board, {1, 17}));
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4}));
}

// Rings of black, white, white and black from the cell's border in; the rest of the screen stays.
TEST_F(BoardDrawing, TheCursorIsFourRingsInsideItsCell)
{
    const Uint32 black = SDL_MapRGB(screenSurface->format, 0, 0, 0), white = SDL_MapRGB(screenSurface->format, 255, 255, 255);
    const Uint32 background = pixel(screenSurface, 0, 0);
    drawCellCursor({2, 5});
    int wrong = 0;
    for (int y = 0; y < WindowHeight; ++y)
        for (int x = 0; x < WindowWidth; ++x) {
            const int ring = std::min({x - 64, y - 160, 95 - x, 191 - y});
            wrong += pixel(screenSurface, x, y) != (ring < 0 || ring > 3 ? background : ring % 3 ? white : black);
        }
    EXPECT_EQ(wrong, 0);
}
