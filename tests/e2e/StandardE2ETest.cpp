// A "Standart Click" game in the real program, driven by real clicks: into the game from the
// menu, one group removed, the quit question declined and then accepted, and out with Escape.
#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include "TestSupport.h"

using namespace testing_support;

namespace {

constexpr int Columns = 25;
constexpr int Rows = 18;
constexpr int Tile = 32;

SDL_Rect cellArea(int column, int row)
{
    return SDL_Rect{static_cast<Sint16>(column * Tile), static_cast<Sint16>(row * Tile), Tile, Tile};
}

bool isEmptyCell(const Screenshot& shot, int column, int row) { return shot.countNonBlack(cellArea(column, row)) == 0; }

int emptyCells(const Screenshot& shot)
{
    int count = 0;
    for (int column = 0; column < Columns; ++column)
        for (int row = 0; row < Rows; ++row)
            count += isEmptyCell(shot, column, row);
    return count;
}

// Tiles of one colour are the same image, so two cells show the same colour exactly when
// every pixel matches.
bool sameTile(const Screenshot& shot, int columnA, int rowA, int columnB, int rowB)
{
    for (int dy = 0; dy < Tile; ++dy)
        for (int dx = 0; dx < Tile; ++dx) {
            const SDL_Color a = shot.pixel(columnA * Tile + dx, rowA * Tile + dy);
            const SDL_Color b = shot.pixel(columnB * Tile + dx, rowB * Tile + dy);
            if (a.r != b.r || a.g != b.g || a.b != b.b)
                return false;
        }
    return true;
}

// A tile with a right-hand or lower neighbour of its own colour: a click there removes a group.
std::optional<std::pair<int, int>> tileOfAGroup(const Screenshot& shot)
{
    for (int column = 0; column < Columns; ++column)
        for (int row = 0; row < Rows; ++row) {
            if (isEmptyCell(shot, column, row))
                continue;
            if ((column + 1 < Columns && sameTile(shot, column, row, column + 1, row)) ||
                (row + 1 < Rows && sameTile(shot, column, row, column, row + 1)))
                return std::make_pair(column, row);
        }
    return std::nullopt;
}

bool boardShown(const Screenshot& shot) { return shot.countNonBlack(SDL_Rect{0, 0, 800, 576}) > 100000; }

// "Wirklich beenden" over an otherwise black window.
bool confirmationShown(const Screenshot& shot)
{
    return shot.countRed(SDL_Rect{200, 150, 400, 45}) > 300 && !boardShown(shot);
}

// The variant screen's last explanation lines stand where the main menu has nothing.
bool variantScreenShown(const Screenshot& shot) { return shot.countRed(SDL_Rect{0, 440, 800, 40}) > 100; }

}  // namespace

class StandardE2E : public testing::Test {
protected:
    XvfbServer xserver;
    TempDataDir data;
};

TEST_F(StandardE2E, GroupClickChangesTheBoardAndTheQuitQuestionCanBeDeclinedAndAccepted)
{
    GameProcess game(xserver, data.path());
    ASSERT_TRUE(game.waitForMainMenu()) << game.standardError();

    game.click(400, 145);  // "Spielen"
    ASSERT_TRUE(game.waitForScreen(variantScreenShown)) << game.standardError();
    game.click(400, 118);  // "Standart Click"
    ASSERT_TRUE(game.waitForScreen([](const Screenshot& s) { return boardShown(s) && emptyCells(s) == 0; }))
        << "a full board is dealt\n" << game.standardError();

    const auto tile = tileOfAGroup(game.screenshot());
    ASSERT_TRUE(tile.has_value()) << "two colours on 450 cells always make a group";
    game.click(tile->first * Tile + Tile / 2, tile->second * Tile + Tile / 2);
    // The group's tiles are gone: as many cells at the tops of the columns are now empty.
    EXPECT_TRUE(game.waitForScreen([](const Screenshot& s) { return boardShown(s) && emptyCells(s) >= 2; }));

    game.click(210, 586);  // "(ende)"
    ASSERT_TRUE(game.waitForScreen(confirmationShown)) << game.standardError();
    game.click(485, 215);  // "Nein"
    ASSERT_TRUE(game.waitForScreen([](const Screenshot& s) { return boardShown(s) && emptyCells(s) >= 2; }))
        << "back in the same game";

    game.click(210, 586);  // "(ende)"
    ASSERT_TRUE(game.waitForScreen(confirmationShown)) << game.standardError();
    game.click(315, 215);  // "Ja"
    ASSERT_TRUE(game.waitForMainMenu()) << game.standardError();
    EXPECT_TRUE(data.exists("Data/var1.hsc")) << "the deleted game writes its list";

    game.pressKey("Escape");
    EXPECT_EQ(game.waitForExit(), 0) << game.standardError();
}
