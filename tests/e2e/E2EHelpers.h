#pragma once
// What the end-to-end tests read from the real game's window, where they click, and a fixture
// with one game in an X server of its own.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "TestSupport.h"

namespace e2e {

using namespace testing_support;
using Point = std::pair<int, int>;
using Condition = std::function<bool(const Screenshot&)>;

constexpr int Columns = 25;
constexpr int Rows = 18;
constexpr int Tile = 32;
// The machine is shared and the sanitized build is slow: waits are generous, they end early.
constexpr int Patience = 40;

// Where a click lands safely inside each label: its top edge plus about half its height.
constexpr Point Spielen{400, 145}, TileSetButton{400, 195}, HighscoresButton{400, 245}, InfoButton{400, 295};
constexpr Point Bottom{400, 587};  // "zurück zum Menü", "weiter", "(pause)", the music label
constexpr Point EndeBelowGame{215, 586}, Ja{312, 215}, Nein{500, 215};
constexpr Point variantChoice(int variant) { return {400, 118 + 100 * variant}; }
constexpr Point choice(int index) { return {400, 118 + 50 * index}; }  // a colour count or a difficulty
constexpr Point highscoreChoice(int variant) { return {400, 128 + 50 * variant}; }
constexpr Point preview(int set) { return {94 + 150 * set, 260}; }
// The main menu's "Ende" (size 30, centred, top at y 330) lies inside this box.
inline bool onEnde(Point at) { return at.first >= 330 && at.first < 470 && at.second >= 325 && at.second < 380; }

// Tiles of one colour are the same image, so two cells share a fingerprint exactly when they show
// the same colour (or are both empty). (x, y) is the top-left pixel of a tile-sized square.
inline uint64_t fingerprint(const Screenshot& shot, int x, int y)
{
    uint64_t hash = 1469598103934665603ULL;
    for (int dy = 0; dy < Tile; ++dy)
        for (int dx = 0; dx < Tile; ++dx) {
            const SDL_Color c = shot.pixel(x + dx, y + dy);
            for (const Uint8 channel : {c.r, c.g, c.b})
                hash = (hash ^ channel) * 1099511628211ULL;
        }
    return hash;
}
inline uint64_t cellFingerprint(const Screenshot& shot, int column, int row)
{
    return fingerprint(shot, column * Tile, row * Tile);
}

inline bool isEmptyCell(const Screenshot& shot, int column, int row)
{
    return shot.countNonBlack({static_cast<Sint16>(column * Tile), static_cast<Sint16>(row * Tile), Tile, Tile}) == 0;
}

inline int emptyCells(const Screenshot& shot, int firstRow = 0, int lastRow = Rows - 1)
{
    int count = 0;
    for (int column = 0; column < Columns; ++column)
        for (int row = firstRow; row <= lastRow; ++row)
            count += isEmptyCell(shot, column, row);
    return count;
}

// One fingerprint per cell, column by column.
inline std::vector<uint64_t> boardPicture(const Screenshot& shot)
{
    std::vector<uint64_t> picture;
    for (int column = 0; column < Columns; ++column)
        for (int row = 0; row < Rows; ++row)
            picture.push_back(cellFingerprint(shot, column, row));
    return picture;
}

inline int coloursOnBoard(const Screenshot& shot)
{
    const std::vector<uint64_t> picture = boardPicture(shot);
    std::set<uint64_t> colours(picture.begin(), picture.end());
    colours.erase(fingerprint(Screenshot{}, 0, 0));  // an empty cell: black all over
    return static_cast<int>(colours.size());
}

// The centre of a tile with a right-hand or lower neighbour of its colour: a click there removes
// a group.
inline std::optional<Point> tileOfAGroup(const Screenshot& shot)
{
    const std::vector<uint64_t> picture = boardPicture(shot);
    const auto at = [&](int column, int row) { return picture[static_cast<size_t>(column * Rows + row)]; };
    for (int column = 0; column < Columns; ++column)
        for (int row = 0; row < Rows; ++row)
            if (!isEmptyCell(shot, column, row) && ((column + 1 < Columns && at(column, row) == at(column + 1, row)) ||
                                                    (row + 1 < Rows && at(column, row) == at(column, row + 1))))
                return Point{column * Tile + Tile / 2, row * Tile + Tile / 2};
    return std::nullopt;
}

// Every column's tiles stand together (toward the bottom row when asked): a screen taken during
// the removal animation still has holes where the group was.
inline bool settled(const Screenshot& shot, bool atTheBottom)
{
    for (int column = 0; column < Columns; ++column) {
        int runs = 0;
        for (int row = 0; row < Rows; ++row)
            runs += !isEmptyCell(shot, column, row) && (row == 0 || isEmptyCell(shot, column, row - 1));
        if (runs > 1 || (atTheBottom && runs == 1 && isEmptyCell(shot, column, Rows - 1)))
            return false;
    }
    return true;
}

// ---- What each screen looks like ----

// The red title, and nothing in the gaps below it and below the last button: a result screen
// with a heading at the top has its lines there.
inline bool mainMenuShown(const Screenshot& s)
{
    return s.countRed({150, 10, 500, 80}) > 500 && s.countNonBlack({0, 85, 800, 45}) == 0 &&
           s.countNonBlack({0, 365, 800, 205}) == 0;
}
// The explanation lines of the last variant stand where no other menu screen has text.
inline bool variantScreenShown(const Screenshot& s) { return s.countRed({0, 440, 800, 40}) > 100; }
inline bool boardShown(const Screenshot& s) { return s.countNonBlack({0, 0, 800, 576}) > 100000; }
inline bool fullBoardShown(const Screenshot& s) { return boardShown(s) && emptyCells(s) == 0; }
// "Wirklich beenden" with "Ja" and "Nein" below it, on an otherwise black window.
inline bool confirmationShown(const Screenshot& s)
{
    return s.countRed({200, 150, 400, 45}) > 300 && s.countNonBlack({0, 0, 800, 150}) == 0 &&
           s.countNonBlack({0, 240, 800, 360}) == 0;
}

// One game in an X server of its own, in a fresh working directory.
class GameWindow : public testing::Test {
protected:
    void click(Point at) const { game.click(at.first, at.second); }
    bool waitFor(const Condition& condition) const { return game.waitForScreen(condition, Patience); }

    // Clicks each point in turn and waits for the screen it leads to; false at the first screen
    // that does not appear.
    bool walk(const std::vector<std::pair<Point, Condition>>& route) const
    {
        for (const auto& [at, next] : route) {
            click(at);
            if (!waitFor(next))
                return false;
        }
        return true;
    }

    bool enterVariant(int variant, const Condition& next) const
    {
        return game.hasWindow() && game.waitForMainMenu(Patience) &&
               walk({{Spielen, variantScreenShown}, {variantChoice(variant), next}});
    }

    // "(ende)" below the running game, then "Ja": the game is gone and the main menu is back.
    bool leaveThroughEnde() const { return walk({{EndeBelowGame, confirmationShown}, {Ja, mainMenuShown}}); }

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

}  // namespace e2e
