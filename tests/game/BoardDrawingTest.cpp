#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "BareGame.h"
#include "BoardText.h"
#include "TestSupport.h"
#include "gfx/Screen.h"
#include "gfx/Tileset.h"

using testing_support::BareGame;
using testing_support::boardFromBottomRows;

namespace {

// The RGB of one pixel of any surface, as the screen shows it.
Uint32 rgbAt(const SDL_Surface* surface, int x, int y)
{
    const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    Uint32 value = 0;
    std::memcpy(&value, row + x * surface->format->BytesPerPixel, surface->format->BytesPerPixel);
    Uint8 r, g, b;
    SDL_GetRGB(value, surface->format, &r, &g, &b);
    return (Uint32{r} << 16) | (Uint32{g} << 8) | b;
}

using Pixels = std::vector<Uint32>;

Pixels screenPixels()
{
    Pixels pixels;
    for (int y = 0; y < screenSurface->h; ++y)
        for (int x = 0; x < screenSurface->w; ++x)
            pixels.push_back(rgbAt(screenSurface, x, y));
    return pixels;
}

Pixels tileOf(const SDL_Surface* surface, int left, int top)
{
    Pixels pixels;
    for (int y = top; y < top + TileSize; ++y)
        for (int x = left; x < left + TileSize; ++x)
            pixels.push_back(rgbAt(surface, x, y));
    return pixels;
}

Pixels sheetTile(int colour, int sourceY) { return tileOf(tileSheet, TileSize * (colour - 1), sourceY); }
Pixels screenCell(int column, int row) { return tileOf(screenSurface, TileSize * column, TileSize * row); }

// Every pixel outside the given cells equals the snapshot.
bool unchangedOutside(const Pixels& snapshot, const std::vector<int>& cells)
{
    const Pixels now = screenPixels();
    for (int y = 0; y < screenSurface->h; ++y)
        for (int x = 0; x < screenSurface->w; ++x) {
            const bool inCell = y < TileSize * BoardRows &&
                                std::find(cells.begin(), cells.end(), cellIndex(x / TileSize, y / TileSize)) != cells.end();
            const size_t i = static_cast<size_t>(y) * screenSurface->w + x;
            if (!inCell && now[i] != snapshot[i])
                return false;
        }
    return true;
}

class BoardDrawing : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(tileSheet, nullptr) << "the tile sheet did not load"; }
    void TearDown() override { setRemovalFrameObserver({}); }

    void fillScreen(Uint8 r, Uint8 g, Uint8 b)
    {
        SDL_FillRect(screenSurface, nullptr, SDL_MapRGB(screenSurface->format, r, g, b));
    }

    testing_support::TempDataDir dir{{"tileset.bmp"}};
    testing_support::DummyScreen screen{true};
    testing_support::FakeClock clock;  // no waits between the animation's frames
    BareGame game;
};

}  // namespace

TEST_F(BoardDrawing, EveryTileComesFromTheBandOfTheSelectedSet)
{
    const int set = 2;
    const int bandTop = TileSetBand * set;
    for (int colour = 1; colour <= TileColourCount; ++colour)
        ASSERT_NE(sheetTile(colour, bandTop), sheetTile(colour, TileSetBand * 4)) << "colour " << colour;
    selectTileset(set);
    game.board = boardFromBottomRows({
        "1234567",
        ".7.5..1",
    });

    game.drawBoard();

    const Pixels black = tileOf(screenSurface, 0, TileSize * 5);  // a cell far from any tile
    ASSERT_EQ(black, Pixels(TileSize * TileSize, 0u));
    for (int c = 0; c < BoardColumns; ++c)
        for (int r = 0; r < BoardRows; ++r) {
            const uint16_t v = game.cell(c, r);
            EXPECT_EQ(screenCell(c, r), v ? sheetTile(v, bandTop) : black) << "column " << c << ", row " << r;
        }
}

TEST_F(BoardDrawing, BoardWithoutTilesDrawsNothing)
{
    fillScreen(40, 50, 60);
    const Pixels before = screenPixels();
    game.drawBoard();
    EXPECT_TRUE(unchangedOutside(before, {})) << "an empty board drew something";

    // Values without a tile are skipped, not read from beyond the seven rectangles.
    game.board = boardFromBottomRows({"x.x", ".xx"});
    game.cell(20, 3) = 0xFFFF;
    game.cell(24, 0) = 0x8000;
    game.drawBoard();
    EXPECT_TRUE(unchangedOutside(before, {})) << "a value without a tile was drawn";
}

TEST_F(BoardDrawing, RemovalRedrawsExactlyTheClearedCellsWithTheFramesOfTheFirstBand)
{
    selectTileset(3);
    game.board = boardFromBottomRows({
        "33.41",
        "2314x",
        "23312",
    });
    game.previousBoard = game.board;
    ASSERT_EQ(game.removeGroup(1, 17, 3, true), 4);
    game.cell(4, 16) = 0;  // a value without a tile vanishing is skipped as well
    const std::vector<int> cleared = {cellIndex(0, 15), cellIndex(1, 15), cellIndex(1, 16), cellIndex(1, 17),
                                      cellIndex(2, 17)};
    for (int k = 1; k <= 4; ++k)
        ASSERT_NE(sheetTile(3, TileSize * k), sheetTile(3, TileSetBand * 3)) << "frame " << k;

    // The screen as the last full redraw left it, with the group still in place.
    BareGame shown;
    shown.board = game.previousBoard;
    shown.drawBoard();
    const Pixels before = screenPixels();

    std::vector<int> frames;
    setRemovalFrameObserver([&](int frame) {
        frames.push_back(frame);
        for (int cell : cleared)
            EXPECT_EQ(screenCell(cell / BoardRows, cell % BoardRows), sheetTile(3, TileSize * frame))
                << "frame " << frame << ", cell " << cell;
        EXPECT_TRUE(unchangedOutside(before, cleared)) << "frame " << frame << " drew outside the group";
    });

    game.animateRemoval();

    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_TRUE(unchangedOutside(before, cleared));
}
