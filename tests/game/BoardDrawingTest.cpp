#include <gtest/gtest.h>

#include "BoardText.h"
#include "TestSupport.h"
#include "game/BoardDrawing.h"
#include "gfx/Screen.h"
#include "gfx/Tileset.h"

using namespace testing_support;
using Pixels = std::vector<Uint32>;

const Pixels background(1024, 0x123456);

// The 32 x 32 pixels from this corner on.
Pixels square(const SDL_Surface* surface, int left, int top)
{
    Pixels pixels;
    for (int i = 0; i < 1024; ++i)
        pixels.push_back(static_cast<Uint32*>(surface->pixels)[(top + i / 32) * surface->pitch / 4 + left + i % 32]);
    return pixels;
}

Pixels cell(int i) { return square(screenSurface, 32 * (i / BoardRows), 32 * (i % BoardRows)); }

// On a screen of 0x123456 (the dummy screen's pixels are 0xRRGGBB).
class BoardDrawing : public ::testing::Test {
protected:
    void SetUp() override { SDL_FillRect(screenSurface, nullptr, 0x123456); }

    TempDataDir dir;
    DummyScreen screen{true};
    // no waits between the animation's frames
    FakeClock clock;
};

TEST_F(BoardDrawing, DrawsTheSelectedSetsTilesOverTheScreen)
{
    selectTileset(2);
    const Board board = boardAt(0, 0, {"1.3", "72.", ".5."});
    drawBoard(board);
    for (int i = 0; i < BoardCells; ++i)
        EXPECT_EQ(cell(i), board[i] ? square(tileSheet, 32 * board[i] - 32, 320) : background);
}

// The other cells keep what they showed: the background, and the 2 from set 4.
TEST_F(BoardDrawing, RemovalRedrawsTheClearedCellsFromTheFirstBand)
{
    Board board = boardFromBottomRows({"12", "11"});
    const Board before = board;
    drawBoard(board);
    int frames = 0;
    setRemovalFrameObserver([&](int frame) {
        EXPECT_EQ(frame, ++frames);
        for (int i = 0; i < BoardCells; ++i)
            EXPECT_EQ(cell(i), before[i] == 1 ? square(tileSheet, 0, 32 * frame)
                               : before[i]    ? square(tileSheet, 32, 640)
                                              : background);
    });
    animateRemoval(removeGroupAt(board, {0, 17}));
    setRemovalFrameObserver({});
    EXPECT_EQ(frames, 4);
}

// Rings of black, white, white and black from the cell's border in; the middle keeps the screen.
TEST_F(BoardDrawing, TheCursorIsFourRingsInsideItsCell)
{
    drawCellCursor({2, 5});
    const Pixels shown = square(screenSurface, 64, 160);
    for (int i = 0; i < 1024; ++i) {
        const int ring = std::min({i % 32, i / 32, 31 - i % 32, 31 - i / 32});
        EXPECT_EQ(shown[i], ring == 0 || ring == 3 ? 0 : ring < 3 ? 0xFFFFFF : background[i]);
    }
}
