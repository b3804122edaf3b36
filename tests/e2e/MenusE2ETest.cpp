// The menus of the real program, walked with real clicks: "Spielen" and back, a tile set chosen
// on the tileset screen shows on the board of the next game, leaving that screen without a choice
// keeps it, "Info" and back, and Escape.
#include "E2EHelpers.h"

using namespace e2e;

namespace {

bool previewsShown(const Screenshot& s) { return s.countNonBlack({30, 200, 740, 128}) > 20000; }
// The lines of the info screen, and no title above them.
bool infoShown(const Screenshot& s) { return s.countRed({0, 100, 800, 90}) > 300 && s.countRed({0, 10, 800, 80}) == 0; }

// The first two colours of a set as its preview shows them: tile 0 leads row 0, tile 1 row 1.
std::set<uint64_t> firstTwoTiles(const Screenshot& shot, int set)
{
    const int left = preview(set).first - 64;
    return {fingerprint(shot, left, 200), fingerprint(shot, left, 232)};
}

class MenusE2E : public GameWindow {
protected:
    // The looks of the cells of a new Standard game, which is left again through "(ende)" and "Ja".
    std::set<uint64_t> tilesOfANewGame()
    {
        EXPECT_TRUE(enterVariant(0, fullBoardShown)) << game.standardError();
        const auto picture = boardPicture(game.screenshot());
        EXPECT_TRUE(leaveThroughEnde()) << game.standardError();
        return {picture.begin(), picture.end()};
    }
};

}  // namespace

TEST_F(MenusE2E, ATileSetChosenByClickShowsInTheNextGameAndSurvivesTheScreenLeftWithoutChoice)
{
    ASSERT_TRUE(game.hasWindow() && game.waitForMainMenu(Patience)) << game.standardError();
    ASSERT_TRUE(walk({{Spielen, variantScreenShown}, {Bottom, mainMenuShown}, {TileSetButton, previewsShown}}));
    const Screenshot previews = game.screenshot();
    const auto secondSet = firstTwoTiles(previews, 1);
    ASSERT_NE(secondSet, firstTwoTiles(previews, 4)) << "the looks of the sets must differ";
    ASSERT_TRUE(walk({{preview(1), mainMenuShown}}));
    // A board of the first level holds two colours: the chosen set's first two tiles.
    EXPECT_EQ(tilesOfANewGame(), secondSet);

    ASSERT_TRUE(walk({{TileSetButton, previewsShown}, {Bottom, mainMenuShown}}));
    EXPECT_EQ(tilesOfANewGame(), secondSet);

    ASSERT_TRUE(walk({{InfoButton, infoShown}, {Bottom, mainMenuShown}}));
    quitWithEscape();
}
