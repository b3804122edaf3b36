#include <gtest/gtest.h>

#include <cstdlib>

#include "BareGame.h"
#include "TestSupport.h"
#include "highscore/HighscoreTable.h"

using testing_support::BareGame;

TEST(PlayerName, EachKeyAppendsRemovesOrIsIgnored)
{
    const struct {
        int32_t key;
        std::string before;
        std::string after;
    } cases[] = {
        {8, "", ""}, {8, "A\xE4", "A"}, {31, "A", "A"}, {32, "A", "A "}, {255, "", "\xFF"}, {256, "A", "A"},
        {';', "Jo", "Jo"},  // the list file ends a name at its first ';'
        {'a', std::string(300, 'a'), std::string(301, 'a')},
        {65 + 65536, "", "A"}, {8 + 65536, "Ab", "A"},  // only the low 16 bits of the key count
    };
    for (const auto& c : cases) {
        BareGame game;
        game.playerName = c.before;
        game.editPlayerName(c.key);
        EXPECT_EQ(game.playerName, c.after) << "key " << c.key << " on \"" << c.before << "\"";
    }
}

TEST(PointInRect, LeftAndTopEdgesAreInsideRightAndBottomEdgesOutside)
{
    const struct {
        SDL_Rect rect;
        int16_t x, y;
        bool inside;
    } cases[] = {
        {{10, 20, 30, 40}, 10, 20, true}, {{10, 20, 30, 40}, 39, 59, true}, {{10, 20, 30, 40}, 40, 20, false},
        {{10, 20, 30, 40}, 10, 60, false}, {{10, 20, 30, 40}, 9, 20, false}, {{10, 20, 30, 40}, 10, 19, false},
        {{5, 5, 0, 10}, 5, 5, false}, {{-10, -10, 20, 20}, -10, -10, true},
        // The right edge lies beyond 16 bits; a 16-bit sum would wrap and hold nothing.
        {{32000, 32000, 1000, 1000}, 32767, 32767, true}, {{-32768, 0, 65535, 1}, 32766, 0, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pointInRect(c.x, c.y, c.rect), c.inside) << c.x << ", " << c.y << " in " << c.rect.x << ", " << c.rect.y;
}

TEST(CellAtPixel, MapsThirtyTwoPixelsToACellAndKnowsTheBoardsEdges)
{
    const struct {
        int32_t x, y;
        int16_t column, row;
        bool onBoard;
    } cases[] = {
        {31, 32, 0, 1, true}, {799, 575, 24, 17, true}, {800, 0, 0, 0, false}, {0, 576, 0, 0, false},
        {-1, 5, 0, 0, false}, {5, -1, 0, 0, false},  // outside, although they divide to column or row 0
        {-65536 + 100, 3 * 65536 + 575, 3, 17, true}, {65535, 10, 0, 0, false},  // the low 16 bits, signed
    };
    for (const auto& c : cases) {
        const BoardCell cell = cellAtPixel(c.x, c.y);
        EXPECT_EQ(cell.onBoard, c.onBoard) << c.x << ", " << c.y;
        EXPECT_TRUE(!c.onBoard || (cell.column == c.column && cell.row == c.row)) << c.x << ", " << c.y;
    }
}

// Exact integer powers where doubles are exact; beyond that fractions truncate and values
// past what a double holds exactly give 0.
TEST(PowerLow16, KeepsTheLow16BitsOfTheTruncatedPower)
{
    for (int32_t base = -40; base <= 40; ++base) {
        long long exact = 1;
        for (int32_t exponent = 0; exponent <= 9; ++exponent, exact *= base)
            EXPECT_EQ(powerLow16(base, exponent), toInt16(exact)) << base << "^" << exponent;
    }
    const int32_t cases[][3] = {{2, -1, 0}, {3000, 5, -32768}, {3000, 6, 0}, {-3000, 101, 0}, {0, -1, 0}};
    for (const auto& [base, exponent, expected] : cases)
        EXPECT_EQ(powerLow16(base, exponent), expected) << base << "^" << exponent;
}

// The end of every game, on a list that has no file (rows 100 down to 10, never written) and
// with "weiter" drawn at {380, 576, 60, 22}.
TEST(EndOfGame, ContinueLeadsThroughNameEntryToTheListAndOtherStatesAreLeftToTheVariant)
{
    const struct {
        const char* what;
        int32_t state;
        int32_t score;
        const char* name;
        int32_t x, y;
        bool handled;
        int32_t after;
    } cases[] = {
        {"a score equal to the last row", GameResults, 10, "", 410, 585, true, ShowHighscores},
        {"beside the label", GameResults, 1000, "", 440, 585, true, GameResults},
        {"coordinates by their low 16 bits", GameResults, 1000, "", 410 + 65536, 585 - 2 * 65536, true, NameEntry},
        {"no name typed", NameEntry, 1000, "", 410, 585, true, NameEntry},
        {"a name typed", NameEntry, 1000, "Anna", 410, 585, true, ShowHighscores},
        {"a name typed, above the label", NameEntry, 1000, "Anna", 410, 575, true, NameEntry},
        {"the list", ShowHighscores, 1000, "Anna", 410, 585, true, ShowHighscores},
        {"paused", Paused, 1000, "Anna", 410, 585, false, Paused},
    };
    testing_support::TempDataDir dir{std::vector<std::string>{}};
    const SDL_Rect saved = continueButton;
    continueButton = SDL_Rect{380, 576, 60, 22};
    for (const auto& c : cases) {
        BareGame game;
        game.highscores = new HighscoreTable("Test Click", "Fehlt/test.hsc", 10);
        game.state = c.state;
        game.finalScore = c.score;
        game.playerName = c.name;
        EXPECT_EQ(game.handleEndOfGameClick(c.x, c.y, " (3)"), c.handled) << c.what;
        EXPECT_EQ(game.state, c.after) << c.what;
        const bool entered = c.state == NameEntry && c.after == ShowHighscores;
        EXPECT_EQ(game.highscores->name(0), entered ? "Anna (3)" : ":)") << c.what;
        EXPECT_EQ(game.highscores->score(0), entered ? 1000 : 100) << c.what;
        EXPECT_EQ(game.playerName, c.name) << c.what;
    }
    continueButton = saved;
}
