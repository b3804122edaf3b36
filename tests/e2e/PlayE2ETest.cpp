// One run of the real program walked with real clicks: the menus, a tile set chosen by its
// preview, each of the four variants played and left, "Info", and Escape.
#include "E2EHelpers.h"

using namespace e2e;

namespace {

bool previewsShown(const Screenshot& s) { return s.countNonBlack({30, 200, 740, 128}) > 20000; }
// The lines of the info screen, and no title above them.
bool infoShown(const Screenshot& s) { return s.countRed({0, 100, 800, 90}) > 300 && s.countRed({0, 10, 800, 80}) == 0; }
// " P A U S E ! " in big letters alone on the window: no board around it, no status line.
bool pauseShown(const Screenshot& s)
{
    return s.countRed({0, 200, 800, 110}) > 2000 && s.countNonBlack({0, 0, 800, 195}) == 0 &&
           s.countNonBlack({0, 330, 800, 270}) == 0;
}
// The lowest choice ("fünf Farben", "Schwer") with nothing below it but the back button.
Condition choicesShown(int count)
{
    const auto lowest = static_cast<Sint16>(100 + 50 * (count - 1));
    return [lowest](const Screenshot& s) {
        return s.countRed({0, lowest, 800, 40}) > 100 &&
               s.countNonBlack({0, static_cast<Sint16>(lowest + 50), 800, static_cast<Uint16>(520 - lowest)}) == 0;
    };
}
bool fallDownDealt(const Screenshot& s) { return boardShown(s) && emptyCells(pictureOf(s), 3) == 0; }

// The first two colours of a set as its preview shows them: tile 0 leads row 0, tile 1 row 1.
std::set<uint64_t> firstTwoTiles(const Screenshot& shot, int set)
{
    const int left = preview(set).first - 64;
    return {fingerprint(shot, left, 200), fingerprint(shot, left, 232)};
}

// What one variant checks beyond the common walk.
enum class Extra { None, DeclinedQuitKeepsTheBoard, PauseAndResume, FeederFillsTheTopRow };

struct VariantWalk {
    const char* name;
    std::vector<std::pair<Point, Condition>> route;  // from the main menu to the dealt board
    int colours;
    bool fallsToTheBottom;  // where the rest settles after a group is gone: Chaos moves it to its point
    Extra extra;
};

}  // namespace

TEST(PlayE2E, MenusATileSetAndEachVariantByRealClicksThenEscape)
{
    XvfbServer xserver;
    TempDataDir data;
    GameProcess game(xserver, data.path());
    ASSERT_TRUE(game.hasWindow() && game.waitFor(mainMenuShown)) << game.output();
    ASSERT_TRUE(game.walk({{Spielen, variantScreenShown}, {Bottom, mainMenuShown}, {TileSetButton, previewsShown}}));
    const Screenshot previews = game.screenshot();
    const auto chosenSet = firstTwoTiles(previews, 1);
    ASSERT_NE(chosenSet, firstTwoTiles(previews, 4)) << "the looks of the sets must differ";
    // Chosen, then the screen left once without a choice: the set must hold for the games below.
    ASSERT_TRUE(game.walk({{preview(1), mainMenuShown}, {TileSetButton, previewsShown}, {Bottom, mainMenuShown}}));

    const std::pair<Point, Condition> spielen{Spielen, variantScreenShown};
    const VariantWalk walks[] = {
        {"Standart Click", {spielen, {variantChoice(0), fullBoardShown}}, 2, true, Extra::DeclinedQuitKeepsTheBoard},
        {"Chaos Click, f\xFCnf Farben", {spielen, {variantChoice(1), choicesShown(4)}, {choice(3), fullBoardShown}}, 5,
         false, Extra::None},
        // "Schwer": the largest stock of points, so the draining clock leaves the test the most time.
        {"Speed Click, Schwer", {spielen, {variantChoice(2), choicesShown(3)}, {choice(2), fullBoardShown}}, 2, true,
         Extra::PauseAndResume},
        {"FallDown", {spielen, {variantChoice(3), fallDownDealt}}, 4, true, Extra::FeederFillsTheTopRow},
    };
    for (const VariantWalk& walk : walks) {
        SCOPED_TRACE(walk.name);
        ASSERT_TRUE(game.walk(walk.route)) << game.output();
        const Picture dealt = pictureOf(game.screenshot());
        EXPECT_EQ(static_cast<int>(tileLooks(dealt).size()), walk.colours);
        if (walk.colours == 2) {
            EXPECT_EQ(tileLooks(dealt), chosenSet) << "two colours are the chosen set's first two tiles";
        }
        const auto tile = tileOfAGroup(dealt);
        ASSERT_TRUE(tile.has_value());
        game.click(*tile);
        // The group is gone and the rest has settled; the feeder's row falls only once it is full,
        // so below it the removed tiles stay missing.
        const int firstRow = walk.extra == Extra::FeederFillsTheTopRow ? 1 : 0;
        ASSERT_TRUE(game.waitFor([&](const Screenshot& s) {
            const Picture now = pictureOf(s);
            return boardShown(s) && emptyCells(now, firstRow) >= emptyCells(dealt, firstRow) + 2 &&
                   settled(now, walk.fallsToTheBottom, firstRow);
        })) << game.output();
        const Picture played = pictureOf(game.screenshot());
        const auto samePicture = [&](const Screenshot& s) { return boardShown(s) && pictureOf(s) == played; };
        const auto second = tileOfAGroup(played);
        switch (walk.extra) {
        case Extra::DeclinedQuitKeepsTheBoard:
            ASSERT_TRUE(game.walk({{EndeBelowGame, confirmationShown}, {Nein, samePicture}})) << game.output();
            break;
        case Extra::PauseAndResume:  // the board only changes under a click; the resuming click must only resume
            ASSERT_TRUE(second.has_value());
            ASSERT_TRUE(game.walk({{Bottom, pauseShown}, {*second, samePicture}})) << game.output();
            break;
        case Extra::FeederFillsTheTopRow:  // the clock runs since the first click
            ASSERT_TRUE(game.waitFor([](const Screenshot& s) { return at(pictureOf(s), 0, 0) != Empty; }));
            break;
        case Extra::None:
            break;
        }
        ASSERT_TRUE(game.walk({{EndeBelowGame, confirmationShown}, {Ja, mainMenuShown}})) << game.output();
    }
    ASSERT_TRUE(game.walk({{InfoButton, infoShown}, {Bottom, mainMenuShown}}));
    for (const char* list : {"Data/var1.hsc", "Data/var2.hsc", "Data/var3.hsc", "Data/var4.hsc"})
        EXPECT_TRUE(data.exists(list)) << list << ": a deleted game writes its list";
    game.pressKey("Escape");
    EXPECT_EQ(game.waitForExit(), 0) << game.output();
    EXPECT_EQ(game.output(), "");
}
