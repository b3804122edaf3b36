#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "BoardText.h"
#include "TestSupport.h"
#include "game/BoardDrawing.h"
#include "gfx/Screen.h"
#include "gfx/Tileset.h"

using namespace testing_support;

namespace {

using Pixels = std::vector<Uint32>;

Pixels square(const SDL_Surface* surface, int left, int top)
{
    Pixels pixels;
    for (int y = top; y < top + TileSize; ++y) {
        const auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(surface->pixels) + y * surface->pitch);
        pixels.insert(pixels.end(), row + left, row + left + TileSize);
    }
    return pixels;
}

Pixels sheetTile(int colour, int sourceY) { return square(tileSheet, TileSize * (colour - 1), sourceY); }
Pixels screenCell(int cell) { return square(screenSurface, TileSize * (cell / BoardRows), TileSize * (cell % BoardRows)); }

class BoardDrawing : public ::testing::Test {
protected:
    void TearDown() override { setRemovalFrameObserver({}); }

    TempDataDir dir{{"tileset.bmp"}};
    DummyScreen screen{true};
    FakeClock clock;  // no waits between the animation's frames
};

}  // namespace

TEST_F(BoardDrawing, TilesComeFromTheSelectedSetAndCellsWithoutATileKeepWhatTheScreenHeld)
{
    ASSERT_NE(sheetTile(1, TileSetBand * 2), sheetTile(1, TileSetBand * 4));
    selectTileset(2);
    SDL_FillRect(screenSurface, nullptr, SDL_MapRGB(screenSurface->format, 40, 50, 60));
    const Pixels background = screenCell(0);
    const Board board = boardFromBottomRows({"1234567", ".7.5..1"});
    drawBoard(board);
    for (int cell = 0; cell < BoardCells; ++cell) {
        const uint16_t v = board[cell];
        EXPECT_EQ(screenCell(cell), v != 0 ? sheetTile(v, TileSetBand * 2) : background) << cell;
    }
}

TEST_F(BoardDrawing, RemovalRedrawsExactlyTheClearedCellsWithTheFramesOfTheFirstBand)
{
    selectTileset(3);
    Board board = boardFromBottomRows({"33.41", "23142", "23312"});
    drawBoard(board);  // as the last full redraw left it
    std::vector<Pixels> before;
    for (int cell = 0; cell < BoardCells; ++cell)
        before.push_back(screenCell(cell));
    const Removal removal = removeGroupAt(board, {1, 17});
    ASSERT_EQ(removal.removed, 4);
    const std::set<int> cleared = {cellIndex(0, 15), cellIndex(1, 15), cellIndex(1, 16), cellIndex(1, 17), cellIndex(2, 17)};
    ASSERT_NE(sheetTile(3, TileSize), sheetTile(3, TileSetBand * 3));
    std::vector<int> frames;
    setRemovalFrameObserver([&](int frame) {
        frames.push_back(frame);
        for (int cell = 0; cell < BoardCells; ++cell)
            EXPECT_EQ(screenCell(cell), cleared.count(cell) ? sheetTile(3, TileSize * frame) : before[cell])
                << "frame " << frame << ", cell " << cell;
    });
    animateRemoval(removal);
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4}));
    animateRemoval(removeGroupAt(board, {3, 17}));
    EXPECT_EQ(frames.size(), 4u) << "a lone tile vanishes not";
}

TEST_F(BoardDrawing, AMisuseStopsAtItsAssertion)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    selectTileset(0);
    EXPECT_DEATH(selectTileset(TileSetCount), "Assertion");
    EXPECT_DEATH(selectTileset(-1), "Assertion");
    Board board = boardFromBottomRows({"11"});
    EXPECT_DEATH(
        {
            freeTileset();
            animateRemoval(removeGroupAt(board, {0, 17}));
        },
        "Assertion");
}
