// Chaos, Speed and FallDown in the real program, each reached by real clicks through the menus,
// played with real clicks on its board and left through "(ende)" and "Ja": the Chaos board
// rearranges itself, Speed pauses and resumes without losing a tile, and the FallDown feeder
// starts filling the top row once the first tile is clicked. Standard is in StandardE2ETest.cpp.
#include "E2EHelpers.h"

using namespace e2e;

namespace {

// The lowest choice ("fünf Farben", "Schwer") with nothing below it but the back button.
Condition choicesShown(int count)
{
    const auto lowest = static_cast<Sint16>(100 + 50 * (count - 1));
    return [lowest](const Screenshot& s) {
        return s.countRed({0, lowest, 800, 40}) > 100 &&
               s.countNonBlack({0, static_cast<Sint16>(lowest + 50), 800, static_cast<Uint16>(520 - lowest)}) == 0;
    };
}

// " P A U S E ! " in big letters alone on the window: no board around it, no status line.
bool pauseShown(const Screenshot& s)
{
    return s.countRed({0, 200, 800, 110}) > 2000 && s.countNonBlack({0, 0, 800, 195}) == 0 &&
           s.countNonBlack({0, 330, 800, 270}) == 0;
}

class VariantsE2E : public GameWindow {};

}  // namespace

TEST_F(VariantsE2E, ChaosWithFiveColoursRearrangesTheBoardAfterAGroupClick)
{
    ASSERT_TRUE(enterVariant(1, choicesShown(4))) << game.standardError();
    ASSERT_TRUE(walk({{choice(3), fullBoardShown}})) << game.standardError();
    const Screenshot dealt = game.screenshot();
    EXPECT_EQ(coloursOnBoard(dealt), 5);

    const auto tile = tileOfAGroup(dealt);
    ASSERT_TRUE(tile.has_value());
    click(*tile);
    ASSERT_TRUE(waitFor([before = boardPicture(dealt)](const Screenshot& s) {
        return boardShown(s) && emptyCells(s) >= 2 && settled(s, false) && boardPicture(s) != before;
    })) << "the group is gone and the rest has moved toward the new point of gravity";

    ASSERT_TRUE(leaveThroughEnde()) << game.standardError();
    EXPECT_TRUE(data.exists("Data/var2.hsc"));
    quitWithEscape();
}

TEST_F(VariantsE2E, SpeedPausesOnItsOwnLabelAndTheResumingClickRemovesNothing)
{
    ASSERT_TRUE(enterVariant(2, choicesShown(3))) << game.standardError();
    // "Schwer": the largest stock of points, so the draining clock leaves the test the most time.
    ASSERT_TRUE(walk({{choice(2), fullBoardShown}})) << game.standardError();
    const Screenshot dealt = game.screenshot();
    EXPECT_EQ(coloursOnBoard(dealt), 2) << "the hard game starts with two colours";

    const auto first = tileOfAGroup(dealt);
    ASSERT_TRUE(first.has_value());
    click(*first);  // starts the clock
    ASSERT_TRUE(waitFor([](const Screenshot& s) { return boardShown(s) && emptyCells(s) >= 2 && settled(s, true); }))
        << game.standardError();

    // Speed's board only changes under a click, so this picture holds until the pause.
    const Screenshot played = game.screenshot();
    ASSERT_TRUE(walk({{Bottom, pauseShown}})) << game.standardError();
    // The resuming click lands on a group: while paused it must only resume.
    const auto second = tileOfAGroup(played);
    ASSERT_TRUE(second.has_value());
    click(*second);
    ASSERT_TRUE(waitFor(boardShown)) << "the board is back";
    EXPECT_EQ(boardPicture(game.screenshot()), boardPicture(played)) << "the resuming click removed tiles";

    ASSERT_TRUE(leaveThroughEnde()) << game.standardError();
    EXPECT_TRUE(data.exists("Data/var3.hsc"));
    quitWithEscape();
}

TEST_F(VariantsE2E, FallDownStartsWithThreeEmptyRowsAndFeedsTheTopRowOnceATileIsClicked)
{
    ASSERT_TRUE(enterVariant(3, [](const Screenshot& s) { return boardShown(s) && emptyCells(s, 3) == 0; }))
        << game.standardError();
    const Screenshot dealt = game.screenshot();
    EXPECT_EQ(emptyCells(dealt, 0, 2), 3 * Columns) << "the feeder's three rows start empty";
    EXPECT_EQ(coloursOnBoard(dealt), 4);

    const auto tile = tileOfAGroup(dealt);
    ASSERT_TRUE(tile.has_value());
    click(*tile);
    // Below the top row the removed tiles stay missing: the feeder's row falls only once it is full.
    ASSERT_TRUE(waitFor([](const Screenshot& s) { return boardShown(s) && emptyCells(s, 1) >= 2 * Columns + 2; }))
        << game.standardError();
    // The clock runs now: the feeder places its first tile at the left of the top row.
    ASSERT_TRUE(waitFor([](const Screenshot& s) { return boardShown(s) && !isEmptyCell(s, 0, 0); }))
        << "no tile appeared in the top row";

    ASSERT_TRUE(leaveThroughEnde()) << game.standardError();
    EXPECT_TRUE(data.exists("Data/var4.hsc"));
    quitWithEscape();
}
