// All four variants in the real program, each reached by real clicks through the menus, played
// with real clicks on its board and left through "(ende)" and "Ja": the Standard board loses a
// group, the Chaos board rearranges itself, Speed pauses and resumes without losing a tile,
// and the FallDown feeder starts filling the top row once the first tile is clicked.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "TestSupport.h"

using namespace testing_support;

namespace {

constexpr int Columns = 25;
constexpr int Rows = 18;
constexpr int Tile = 32;
// The machine is shared and the sanitized build is slow: waits are generous, they end early.
constexpr int Patience = 40;

using Point = std::pair<int, int>;
using Condition = std::function<bool(const Screenshot&)>;

// Where a click lands safely inside each label: a label's top edge plus about half its height.
constexpr Point Spielen{400, 145};
constexpr Point EndeLabel{215, 586};
constexpr Point Ja{312, 215};
constexpr Point PauseLabel{400, 586};
Point variantName(int variant) { return {400, 100 + 100 * variant + 18}; }
Point colourChoice(int index) { return {400, 100 + 50 * index + 18}; }      // "zwei Farben" is 0
Point difficultyChoice(int index) { return {400, 100 + 50 * index + 18}; }  // "Leicht" is 0

SDL_Rect cellArea(int column, int row)
{
    return SDL_Rect{static_cast<Sint16>(column * Tile), static_cast<Sint16>(row * Tile), Tile, Tile};
}

bool isEmptyCell(const Screenshot& shot, int column, int row) { return shot.countNonBlack(cellArea(column, row)) == 0; }

int emptyCellsInRows(const Screenshot& shot, int firstRow, int lastRow)
{
    int count = 0;
    for (int column = 0; column < Columns; ++column)
        for (int row = firstRow; row <= lastRow; ++row)
            count += isEmptyCell(shot, column, row);
    return count;
}

int emptyCells(const Screenshot& shot) { return emptyCellsInRows(shot, 0, Rows - 1); }

// How many separate runs of tiles a column holds, read from top to bottom.
int runsOfTiles(const Screenshot& shot, int column)
{
    int runs = 0;
    bool inRun = false;
    for (int row = 0; row < Rows; ++row) {
        const bool tile = !isEmptyCell(shot, column, row);
        runs += tile && !inRun;
        inRun = tile;
    }
    return runs;
}

// After a collapse every column's tiles stand together around the gravity row; a screen taken
// during the removal animation still has holes where the group was.
bool everyColumnInOneRun(const Screenshot& shot)
{
    for (int column = 0; column < Columns; ++column)
        if (runsOfTiles(shot, column) > 1)
            return false;
    return true;
}

// Settled toward the bottom row: no column has a tile above an empty cell.
bool settledAtTheBottom(const Screenshot& shot)
{
    for (int column = 0; column < Columns; ++column)
        if (runsOfTiles(shot, column) > 1 || (runsOfTiles(shot, column) == 1 && isEmptyCell(shot, column, Rows - 1)))
            return false;
    return true;
}

// One fingerprint per cell, column by column. Tiles of one colour are the same image, so two
// cells share a fingerprint exactly when they show the same colour (or are both empty).
using BoardPicture = std::vector<uint64_t>;

uint64_t cellFingerprint(const Screenshot& shot, int column, int row)
{
    uint64_t hash = 1469598103934665603ULL;
    for (int dy = 0; dy < Tile; ++dy)
        for (int dx = 0; dx < Tile; ++dx) {
            const SDL_Color c = shot.pixel(column * Tile + dx, row * Tile + dy);
            for (const Uint8 channel : {c.r, c.g, c.b})
                hash = (hash ^ channel) * 1099511628211ULL;
        }
    return hash;
}

BoardPicture boardPicture(const Screenshot& shot)
{
    BoardPicture picture;
    for (int column = 0; column < Columns; ++column)
        for (int row = 0; row < Rows; ++row)
            picture.push_back(cellFingerprint(shot, column, row));
    return picture;
}

int coloursOnBoard(const Screenshot& shot)
{
    std::set<uint64_t> colours;
    for (int column = 0; column < Columns; ++column)
        for (int row = 0; row < Rows; ++row)
            if (!isEmptyCell(shot, column, row))
                colours.insert(cellFingerprint(shot, column, row));
    return static_cast<int>(colours.size());
}

// The centre of a tile with a right-hand or lower neighbour of its colour: a click there
// removes a group.
std::optional<Point> tileOfAGroup(const Screenshot& shot)
{
    const BoardPicture picture = boardPicture(shot);
    const auto at = [&](int column, int row) { return picture[static_cast<size_t>(column * Rows + row)]; };
    for (int column = 0; column < Columns; ++column)
        for (int row = 0; row < Rows; ++row) {
            if (isEmptyCell(shot, column, row))
                continue;
            if ((column + 1 < Columns && at(column, row) == at(column + 1, row)) ||
                (row + 1 < Rows && at(column, row) == at(column, row + 1)))
                return Point{column * Tile + Tile / 2, row * Tile + Tile / 2};
        }
    return std::nullopt;
}

// ---- What each screen looks like ---------------------------------------------------------

// The red title, and nothing in the gaps below it and below the last button: a result screen
// with a heading at the top has its lines there.
bool mainMenuShown(const Screenshot& s)
{
    return s.countRed({150, 10, 500, 80}) > 500 && s.countNonBlack({0, 85, 800, 45}) == 0 &&
           s.countNonBlack({0, 365, 800, 205}) == 0;
}

// The explanation lines of the last variant stand where no other menu screen has text.
bool variantScreenShown(const Screenshot& s) { return s.countRed({0, 440, 800, 40}) > 100; }

// "fünf Farben" is the lowest label; below it only the back button.
bool colourScreenShown(const Screenshot& s)
{
    return s.countRed({0, 250, 800, 40}) > 100 && s.countNonBlack({0, 300, 800, 270}) == 0;
}

// "Schwer" is the lowest label; below it only the back button.
bool difficultyScreenShown(const Screenshot& s)
{
    return s.countRed({0, 200, 800, 40}) > 100 && s.countNonBlack({0, 250, 800, 320}) == 0;
}

bool boardShown(const Screenshot& s) { return s.countNonBlack({0, 0, 800, 576}) > 100000; }

// "Wirklich beenden" with "Ja" and "Nein" below it, on an otherwise black window.
bool confirmationShown(const Screenshot& s)
{
    return s.countRed({200, 150, 400, 45}) > 300 && s.countNonBlack({0, 0, 800, 150}) == 0 &&
           s.countNonBlack({0, 240, 800, 360}) == 0;
}

// " P A U S E ! " in big letters alone on the window: no board around it, no status line.
bool pauseShown(const Screenshot& s)
{
    return s.countRed({0, 200, 800, 110}) > 2000 && s.countNonBlack({0, 0, 800, 195}) == 0 &&
           s.countNonBlack({0, 330, 800, 270}) == 0;
}

bool fullBoardShown(const Screenshot& s) { return boardShown(s) && emptyCells(s) == 0; }

// A group has gone and the rest has fallen into place.
bool groupRemovedAndSettled(const Screenshot& s)
{
    return boardShown(s) && emptyCells(s) >= 2 && settledAtTheBottom(s);
}

// ---- The fixture -------------------------------------------------------------------------

class VariantsE2E : public testing::Test {
protected:
    void click(Point at) const { game.click(at.first, at.second); }

    bool waitFor(const Condition& condition) const { return game.waitForScreen(condition, Patience); }

    // Clicks each point in turn and waits for the screen it leads to; false at the first
    // screen that does not appear.
    bool walk(const std::vector<std::pair<Point, Condition>>& route) const
    {
        for (const auto& [at, next] : route) {
            click(at);
            if (!waitFor(next))
                return false;
        }
        return true;
    }

    bool enterVariant(int variant, const Condition& gameShown) const
    {
        return game.waitForMainMenu(Patience) &&
               walk({{Spielen, variantScreenShown}, {variantName(variant), gameShown}});
    }

    // "(ende)" below the running game, then "Ja": the game is gone and the main menu is back.
    bool leaveThroughEnde() const { return walk({{EndeLabel, confirmationShown}, {Ja, mainMenuShown}}); }

    // Escape ends the program normally, and nothing was complained about on the way.
    void quitWithEscape()
    {
        game.pressKey("Escape");
        EXPECT_EQ(game.waitForExit(Patience), 0) << game.standardError();
        EXPECT_EQ(game.standardError(), "");
    }

    XvfbServer xserver;
    TempDataDir data;
    GameProcess game{xserver, data.path()};
};

}  // namespace

TEST_F(VariantsE2E, StandardRemovesAClickedGroupAndIsLeftThroughTheQuitQuestion)
{
    ASSERT_TRUE(game.hasWindow()) << game.standardError();
    ASSERT_TRUE(enterVariant(0, fullBoardShown)) << game.standardError();
    const Screenshot dealt = game.screenshot();
    EXPECT_EQ(coloursOnBoard(dealt), 2) << "the first level has two colours";

    const auto tile = tileOfAGroup(dealt);
    ASSERT_TRUE(tile.has_value()) << "two colours on 450 cells always make a group";
    click(*tile);
    ASSERT_TRUE(waitFor(groupRemovedAndSettled)) << game.standardError();

    ASSERT_TRUE(leaveThroughEnde()) << game.standardError();
    EXPECT_TRUE(data.exists("Data/var1.hsc"));
    quitWithEscape();
}

TEST_F(VariantsE2E, ChaosWithFiveColoursRearrangesTheBoardAfterAGroupClick)
{
    ASSERT_TRUE(game.hasWindow()) << game.standardError();
    ASSERT_TRUE(enterVariant(1, colourScreenShown)) << game.standardError();
    ASSERT_TRUE(walk({{colourChoice(3), fullBoardShown}})) << "\"f\xFCnf Farben\" deals a full board\n"
                                                           << game.standardError();
    const Screenshot dealt = game.screenshot();
    EXPECT_EQ(coloursOnBoard(dealt), 5);

    const auto tile = tileOfAGroup(dealt);
    ASSERT_TRUE(tile.has_value());
    click(*tile);
    const BoardPicture before = boardPicture(dealt);
    ASSERT_TRUE(waitFor([&](const Screenshot& s) {
        return boardShown(s) && emptyCells(s) >= 2 && everyColumnInOneRun(s) && boardPicture(s) != before;
    })) << "the group is gone and the rest has moved toward the new point of gravity";

    ASSERT_TRUE(leaveThroughEnde()) << game.standardError();
    EXPECT_TRUE(data.exists("Data/var2.hsc"));
    quitWithEscape();
}

TEST_F(VariantsE2E, SpeedPausesOnItsOwnLabelAndTheResumingClickRemovesNothing)
{
    ASSERT_TRUE(game.hasWindow()) << game.standardError();
    ASSERT_TRUE(enterVariant(2, difficultyScreenShown)) << game.standardError();
    // "Schwer": the largest stock of points, so the draining clock leaves the test the most time.
    ASSERT_TRUE(walk({{difficultyChoice(2), fullBoardShown}})) << game.standardError();
    const Screenshot dealt = game.screenshot();
    EXPECT_EQ(coloursOnBoard(dealt), 2) << "the hard game starts with two colours";

    const auto first = tileOfAGroup(dealt);
    ASSERT_TRUE(first.has_value());
    click(*first);  // starts the clock
    ASSERT_TRUE(waitFor(groupRemovedAndSettled)) << game.standardError();

    // Speed's board only changes under a click, so this picture holds until the pause.
    const Screenshot played = game.screenshot();
    const BoardPicture beforePause = boardPicture(played);
    click(PauseLabel);
    ASSERT_TRUE(waitFor(pauseShown)) << game.standardError();

    // The resuming click lands on a group: while paused it must only resume.
    const auto second = tileOfAGroup(played);
    ASSERT_TRUE(second.has_value());
    click(*second);
    ASSERT_TRUE(waitFor(boardShown)) << "the board is back";
    EXPECT_EQ(boardPicture(game.screenshot()), beforePause) << "the resuming click removed tiles";

    ASSERT_TRUE(leaveThroughEnde()) << game.standardError();
    EXPECT_TRUE(data.exists("Data/var3.hsc"));
    quitWithEscape();
}

TEST_F(VariantsE2E, FallDownStartsWithThreeEmptyRowsAndFeedsTheTopRowOnceATileIsClicked)
{
    ASSERT_TRUE(game.hasWindow()) << game.standardError();
    const auto dealtShown = [](const Screenshot& s) {
        return boardShown(s) && emptyCellsInRows(s, 3, Rows - 1) == 0;
    };
    ASSERT_TRUE(enterVariant(3, dealtShown)) << game.standardError();
    const Screenshot dealt = game.screenshot();
    EXPECT_EQ(emptyCellsInRows(dealt, 0, 2), 3 * Columns) << "the feeder's three rows start empty";
    EXPECT_EQ(coloursOnBoard(dealt), 4);

    const auto tile = tileOfAGroup(dealt);
    ASSERT_TRUE(tile.has_value());
    click(*tile);
    // Below the top row the removed tiles stay missing: the feeder's row falls only once it is full.
    const auto groupGone = [](const Screenshot& s) {
        return boardShown(s) && emptyCellsInRows(s, 1, Rows - 1) >= 2 * Columns + 2;
    };
    ASSERT_TRUE(waitFor(groupGone)) << game.standardError();
    // The clock runs now: the feeder places its first tile at the left of the top row.
    ASSERT_TRUE(waitFor([](const Screenshot& s) { return boardShown(s) && !isEmptyCell(s, 0, 0); }))
        << "no tile appeared in the top row";

    ASSERT_TRUE(leaveThroughEnde()) << game.standardError();
    EXPECT_TRUE(data.exists("Data/var4.hsc"));
    quitWithEscape();
}
