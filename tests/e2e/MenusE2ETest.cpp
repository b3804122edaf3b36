// The menus of the real program, walked with real clicks: a tile set chosen on the tileset
// screen shows on the board of the next game, and leaving that screen without a choice keeps it.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "TestSupport.h"

using namespace testing_support;

namespace {

constexpr int Tile = 32;

// Where a click lands safely inside each label (the labels are centred on x 400 unless said).
constexpr std::pair<int, int> Spielen{400, 145}, TileSetButton{400, 195}, InfoButton{400, 295},
    StandartClick{400, 120}, Back{400, 587}, Ende{215, 586}, Ja{312, 215};

int previewCentre(int set) { return 94 + 150 * set; }

using TileImage = std::vector<SDL_Color>;

TileImage tileAt(const Screenshot& shot, int x, int y)
{
    TileImage image;
    for (int dy = 0; dy < Tile; ++dy)
        for (int dx = 0; dx < Tile; ++dx)
            image.push_back(shot.pixel(x + dx, y + dy));
    return image;
}

bool same(const TileImage& a, const TileImage& b)
{
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].r != b[i].r || a[i].g != b[i].g || a[i].b != b[i].b)
            return false;
    return true;
}

// The first two colours of a set as its preview shows them: tile 0 leads row 0, tile 1 row 1.
std::array<TileImage, 2> firstTwoTilesOfPreview(const Screenshot& shot, int set)
{
    const int left = previewCentre(set) - 64;
    return {tileAt(shot, left, 200), tileAt(shot, left, 232)};
}

// A level-1 board holds colours 1 and 2 only: every cell must be one of the set's first two tiles.
int cellsDrawnWith(const Screenshot& shot, const std::array<TileImage, 2>& tiles)
{
    int count = 0;
    for (int column = 0; column < 25; ++column)
        for (int row = 0; row < 18; row += 3) {
            const TileImage cell = tileAt(shot, column * Tile, row * Tile);
            count += same(cell, tiles[0]) || same(cell, tiles[1]);
        }
    return count;
}
constexpr int SampledCells = 25 * 6;

bool titleShown(const Screenshot& s) { return s.countRed({100, 10, 600, 80}) > 500; }

class MenusEndToEnd : public testing::Test {
protected:
    void click(std::pair<int, int> at) { game.click(at.first, at.second); }

    bool waitFor(const std::function<bool(const Screenshot&)>& condition) { return game.waitForScreen(condition, 20); }

    // Into a Standard game, a look at its board, and out again through "(ende)" and "Ja".
    Screenshot boardOfANewGame()
    {
        click(Spielen);
        EXPECT_TRUE(waitFor([](const Screenshot& s) { return s.countRed({0, 100, 800, 40}) > 200; }));
        click(StandartClick);
        EXPECT_TRUE(waitFor([](const Screenshot& s) { return s.countNonBlack({0, 0, 800, 576}) > 200000; }));
        Screenshot board = game.screenshot();
        click(Ende);
        EXPECT_TRUE(waitFor([](const Screenshot& s) { return s.countRed({200, 150, 400, 100}) > 300 && s.countNonBlack({0, 300, 800, 276}) == 0; }));
        click(Ja);
        EXPECT_TRUE(waitFor(titleShown));
        return board;
    }

    XvfbServer server;
    TempDataDir data;
    GameProcess game{server, data.path()};
};

}  // namespace

TEST_F(MenusEndToEnd, ATileSetChosenByClickShowsInTheNextGameAndSurvivesTheScreenLeftWithoutChoice)
{
    ASSERT_TRUE(game.hasWindow());
    ASSERT_TRUE(game.waitForMainMenu());

    // "Spielen" and back.
    click(Spielen);
    ASSERT_TRUE(waitFor([](const Screenshot& s) { return s.countRed({0, 440, 800, 40}) > 100; }));  // variant texts
    click(Back);
    ASSERT_TRUE(waitFor(titleShown));

    // The tileset screen: five previews; choose the second.
    click(TileSetButton);
    ASSERT_TRUE(waitFor([](const Screenshot& s) { return s.countNonBlack({30, 200, 740, 128}) > 20000; }));
    const Screenshot previews = game.screenshot();
    const auto secondSet = firstTwoTilesOfPreview(previews, 1);
    const auto fifthSet = firstTwoTilesOfPreview(previews, 4);
    ASSERT_FALSE(same(secondSet[0], fifthSet[0])) << "the looks of the sets must differ";
    click({previewCentre(1), 260});
    ASSERT_TRUE(waitFor(titleShown));

    Screenshot board = boardOfANewGame();
    EXPECT_EQ(cellsDrawnWith(board, secondSet), SampledCells);
    EXPECT_EQ(cellsDrawnWith(board, fifthSet), 0);

    // The tileset screen again, left with "zurück zum Menü": the second set stays.
    click(TileSetButton);
    ASSERT_TRUE(waitFor([](const Screenshot& s) { return s.countNonBlack({30, 200, 740, 128}) > 20000; }));
    click(Back);
    ASSERT_TRUE(waitFor(titleShown));
    board = boardOfANewGame();
    EXPECT_EQ(cellsDrawnWith(board, secondSet), SampledCells);

    // "Info" and back.
    click(InfoButton);
    ASSERT_TRUE(waitFor([](const Screenshot& s) { return s.countRed({0, 100, 800, 90}) > 300 && s.countRed({0, 10, 800, 80}) == 0; }));
    click(Back);
    ASSERT_TRUE(waitFor(titleShown));

    game.pressKey("Escape");
    EXPECT_EQ(game.waitForExit(), 0);
}
