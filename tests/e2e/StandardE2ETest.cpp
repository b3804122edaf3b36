// "Standart Click" in the real program, driven by real clicks: entered from the menu, a group
// removed, the quit question declined and then accepted, and out with Escape. The other three
// variants are in VariantsE2ETest.cpp.
#include "E2EHelpers.h"

using namespace e2e;

namespace {
class StandardE2E : public GameWindow {};
}  // namespace

TEST_F(StandardE2E, AGroupClickChangesTheBoardAndTheQuitQuestionCanBeDeclinedAndAccepted)
{
    ASSERT_TRUE(game.hasWindow()) << game.standardError();
    ASSERT_TRUE(enterVariant(0, fullBoardShown)) << game.standardError();
    const Screenshot dealt = game.screenshot();
    EXPECT_EQ(coloursOnBoard(dealt), 2) << "the first level has two colours";

    const auto tile = tileOfAGroup(dealt);
    ASSERT_TRUE(tile.has_value()) << "two colours on 450 cells always make a group";
    click(*tile);
    // The group is gone and the rest has fallen into place.
    ASSERT_TRUE(waitFor([](const Screenshot& s) { return boardShown(s) && emptyCells(s) >= 2 && settled(s, true); }))
        << game.standardError();

    const auto played = boardPicture(game.screenshot());
    const auto sameGame = [&](const Screenshot& s) { return boardShown(s) && boardPicture(s) == played; };
    ASSERT_TRUE(walk({{EndeBelowGame, confirmationShown}, {Nein, sameGame}})) << game.standardError();
    ASSERT_TRUE(leaveThroughEnde()) << game.standardError();
    EXPECT_TRUE(data.exists("Data/var1.hsc")) << "the deleted game writes its list";
    quitWithEscape();
}
