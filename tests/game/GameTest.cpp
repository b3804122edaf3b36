#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "BareGame.h"
#include "BoardText.h"
#include "TestSupport.h"
#include "highscore/HighscoreTable.h"

using testing_support::BareGame;

TEST(Game, StartsWithGravityBottomLeftAnEmptyNameAndNoTable)
{
    BareGame game;
    EXPECT_EQ(game.gravityRow, 17);
    EXPECT_EQ(game.gravityColumn, 0);
    EXPECT_EQ(game.playerName, "");
    EXPECT_EQ(game.highscores, nullptr);
}

TEST(PlayerName, EachKeyAppendsRemovesOrIsIgnored)
{
    struct Case {
        int32_t key;
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        {8, "", ""},
        {8, "Ab", "A"},
        {8, "\xE4", ""},
        {31, "A", "A"},
        {32, "A", "A "},
        {255, "", "\xFF"},
        {256, "A", "A"},
        {228, "Tim", "Tim\xE4"},
        {127, "", "\x7F"},
        // The list file ends a name at its first ';', so the name would lose its score.
        {';', "Jo", "Jo"},
        // Only the low 16 bits of the key count.
        {65 + 65536, "", "A"},
        {65 + 65536 * 7, "x", "xA"},
        {65 + 256, "", ""},
        {-65536 + 66, "", "B"},
        {8 + 65536, "Ab", "A"},
        {-1, "A", "A"},
    };
    for (const Case& c : cases) {
        BareGame game;
        game.playerName = c.before;
        game.editPlayerName(c.key);
        EXPECT_EQ(game.playerName, c.after) << "key " << c.key << " on \"" << c.before << "\"";
    }
}

TEST(PlayerName, HasNoLengthLimit)
{
    BareGame game;
    for (int i = 0; i < 300; ++i)
        game.editPlayerName('a' + i % 26);
    EXPECT_EQ(game.playerName.size(), 300u);
}

TEST(PointInRect, LeftAndTopEdgesAreInsideRightAndBottomEdgesOutside)
{
    struct Case {
        SDL_Rect rect;
        int16_t x;
        int16_t y;
        bool inside;
    };
    const Case cases[] = {
        {{10, 20, 30, 40}, 10, 20, true},
        {{10, 20, 30, 40}, 39, 59, true},
        {{10, 20, 30, 40}, 40, 20, false},
        {{10, 20, 30, 40}, 10, 60, false},
        {{10, 20, 30, 40}, 9, 20, false},
        {{10, 20, 30, 40}, 10, 19, false},
        {{5, 5, 0, 10}, 5, 5, false},   // width 0 holds nothing
        {{5, 5, 10, 0}, 5, 5, false},
        {{0, 0, 0, 0}, 0, 0, false},
        {{-10, -10, 20, 20}, -10, -10, true},
        {{-10, -10, 20, 20}, 10, 0, false},
        // The right edge lies beyond 16 bits; a 16-bit sum would wrap and hold nothing.
        {{32000, 32000, 1000, 1000}, 32767, 32767, true},
        {{-32768, 0, 65535, 1}, 32766, 0, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pointInRect(c.x, c.y, c.rect), c.inside)
            << "(" << c.x << ", " << c.y << ") in {" << c.rect.x << ", " << c.rect.y << ", " << c.rect.w << ", "
            << c.rect.h << "}";
}

TEST(CellAtPixel, MapsThirtyTwoPixelsToACellAndKnowsTheBoardsEdges)
{
    struct Case {
        int32_t x;
        int32_t y;
        int16_t column;
        int16_t row;
        bool onBoard;
    };
    const Case cases[] = {
        {0, 0, 0, 0, true},
        {31, 32, 0, 1, true},
        {799, 575, 24, 17, true},
        {800, 0, 25, 0, false},
        {0, 576, 0, 18, false},
        {799, 599, 24, 18, false},
        // A negative pixel lies outside the window, although it divides to column or row 0.
        {-1, 5, 0, 0, false},
        {5, -1, 0, 0, false},
        // Only the low 16 bits count, as a signed number.
        {65536 + 40, 70, 1, 2, true},
        {-65536 + 100, 3 * 65536 + 575, 3, 17, true},
        {65535, 10, 0, 0, false},
        {32768, 10, -1024, 0, false},
    };
    for (const Case& c : cases) {
        const BoardCell cell = cellAtPixel(c.x, c.y);
        EXPECT_EQ(cell.onBoard, c.onBoard) << "(" << c.x << ", " << c.y << ")";
        if (c.onBoard) {
            EXPECT_EQ(cell.column, c.column) << "(" << c.x << ", " << c.y << ")";
            EXPECT_EQ(cell.row, c.row) << "(" << c.x << ", " << c.y << ")";
        }
    }
}

TEST(PowerLow16, KeepsTheLowSixteenBitsOfTheTruncatedPower)
{
    struct Case {
        int32_t base;
        int32_t exponent;
        int16_t expected;
    };
    const Case cases[] = {
        {5, 3, 125},
        {20, 4, 28928},         // 160000
        {2, 15, -32768},
        {2, 16, 0},
        {1, 6, 1},
        {7, 0, 1},
        {0, 0, 1},
        {-3, 3, -27},
        {-20, 4, 28928},
        {-3, 11, 19461},        // -177147
        {2, -1, 0},             // 0.5 truncates to 0
        {3000, 5, -32768},      // 243 * 10^15, fits 64 bits
        {3000, 6, 0},           // 729 * 10^18, beyond 64 bits
        {3000, 100, 0},         // infinite in double precision
        {-3000, 101, 0},
        {0, -1, 0},             // infinite
        {2147483647, 2147483647, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(powerLow16(c.base, c.exponent), c.expected) << c.base << "^" << c.exponent;
}

TEST(PowerLow16, AgreesWithExactIntegerPowersWhileDoublesAreExact)
{
    for (int32_t base = -40; base <= 40; ++base)
        for (int32_t exponent = 0; exponent <= 9; ++exponent) {
            long long exact = 1;
            for (int32_t i = 0; i < exponent; ++i)
                exact *= base;
            ASSERT_LT(std::llabs(exact), 1LL << 53);
            EXPECT_EQ(powerLow16(base, exponent), toInt16(exact)) << base << "^" << exponent;
        }
}

class EndOfGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedButton = continueButton;
        game.highscores = new HighscoreTable("Test Click", "Data/test.hsc", 10);  // ten rows, the last 10
    }
    void TearDown() override { continueButton = savedButton; }

    void showContinueAt(SDL_Rect rect) { continueButton = rect; }
    bool clickContinue(const std::string& suffix = "") { return game.handleEndOfGameClick(410, 585, suffix); }
    bool tableHolds(const std::string& name, int32_t score) const
    {
        for (int i = 0; i < game.highscores->capacity; ++i)
            if (game.highscores->name(i) == name && game.highscores->score(i) == score)
                return true;
        return false;
    }

    testing_support::TempDataDir dir{std::vector<std::string>{}};
    BareGame game;
    SDL_Rect savedButton{};
    const SDL_Rect weiter{380, 576, 60, 22};
};

TEST_F(EndOfGame, ContinueButtonHoldsNoClickBeforeAnyLabelWasDrawn)
{
    EXPECT_EQ(continueButton.x, 0);
    EXPECT_EQ(continueButton.y, 0);
    EXPECT_EQ(continueButton.w, 0);
    EXPECT_EQ(continueButton.h, 0);
    game.state = GameResults;
    game.finalScore = 500;
    EXPECT_TRUE(game.handleEndOfGameClick(0, 0, ""));
    EXPECT_EQ(game.state, GameResults);
}

TEST_F(EndOfGame, ScoreEqualToTheLastRowGoesStraightToTheList)
{
    showContinueAt(weiter);
    game.state = GameResults;
    game.finalScore = game.highscores->score(9);
    EXPECT_TRUE(clickContinue());
    EXPECT_EQ(game.state, ShowHighscores);
}

TEST_F(EndOfGame, ScoreAboveTheLastRowAsksForAName)
{
    showContinueAt(weiter);
    game.state = GameResults;
    game.finalScore = game.highscores->score(9) + 1;
    EXPECT_TRUE(clickContinue());
    EXPECT_EQ(game.state, NameEntry);
}

TEST_F(EndOfGame, ResultClickBesideTheButtonDoesNothing)
{
    showContinueAt(weiter);
    game.state = GameResults;
    game.finalScore = 1000;
    EXPECT_TRUE(game.handleEndOfGameClick(weiter.x + weiter.w, 585, ""));
    EXPECT_EQ(game.state, GameResults);
}

TEST_F(EndOfGame, NameEntryWithoutANameDoesNothing)
{
    showContinueAt(weiter);
    game.state = NameEntry;
    game.finalScore = 1000;
    EXPECT_TRUE(clickContinue());
    EXPECT_EQ(game.state, NameEntry);
    EXPECT_FALSE(tableHolds("", 1000));
}

TEST_F(EndOfGame, NameIsEnteredWithTheVariantsSuffixAndTheFinalScore)
{
    showContinueAt(weiter);
    game.state = NameEntry;
    game.finalScore = 1000;
    game.playerName = "Anna";
    EXPECT_TRUE(clickContinue(" (3)"));
    EXPECT_EQ(game.state, ShowHighscores);
    EXPECT_TRUE(tableHolds("Anna (3)", 1000));
    EXPECT_EQ(game.playerName, "Anna");
}

TEST_F(EndOfGame, NameEntryClickBesideTheButtonEntersNothing)
{
    showContinueAt(weiter);
    game.state = NameEntry;
    game.finalScore = 1000;
    game.playerName = "Anna";
    EXPECT_TRUE(game.handleEndOfGameClick(410, weiter.y - 1, ""));
    EXPECT_EQ(game.state, NameEntry);
    EXPECT_FALSE(tableHolds("Anna", 1000));
}

TEST_F(EndOfGame, ClickCoordinatesCountByTheirLowSixteenBits)
{
    showContinueAt(weiter);
    game.state = GameResults;
    game.finalScore = 1000;
    EXPECT_TRUE(game.handleEndOfGameClick(410 + 65536, 585 - 2 * 65536, ""));
    EXPECT_EQ(game.state, NameEntry);
}

TEST_F(EndOfGame, TheListIgnoresClicks)
{
    showContinueAt(weiter);
    game.state = ShowHighscores;
    game.finalScore = 1000;
    game.playerName = "Anna";
    EXPECT_TRUE(clickContinue());
    EXPECT_EQ(game.state, ShowHighscores);
    EXPECT_FALSE(tableHolds("Anna", 1000));
}

TEST_F(EndOfGame, OtherStatesAreLeftToTheVariant)
{
    showContinueAt(weiter);
    for (int32_t state : {Playing, LevelResults, Paused}) {
        game.state = state;
        EXPECT_FALSE(clickContinue()) << "state " << state;
        EXPECT_EQ(game.state, state);
    }
}

TEST(GameLifetime, DeletingTheGameWritesItsListFile)
{
    testing_support::TempDataDir dir{std::vector<std::string>{}};
    auto game = std::make_unique<BareGame>();
    game->highscores = new HighscoreTable("Test Click", "Data/test.hsc", 10);
    game->highscores->insert("Zoe", 4321);
    game.reset();
    EXPECT_NE(dir.readFile("Data/test.hsc").find("Zoe;4321"), std::string::npos);
}

TEST(ContinueLabel, IsDrawnCentredBelowTheBoardAndRemembersItsBox)
{
    testing_support::TempDataDir dir{{"boulder.ttf"}};
    testing_support::DummyScreen screen;
    testing_support::TextRecorder recorder;
    const SDL_Rect saved = continueButton;
    continueButton = SDL_Rect{0, 0, 0, 0};

    BareGame::drawContinueButton();

    const DrawnText* label = recorder.find("weiter");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->x, 0);
    EXPECT_EQ(label->y, 576);
    EXPECT_EQ(label->align, TextAlign::Center);
    EXPECT_EQ(label->size, 18);
    EXPECT_GT(continueButton.w, 0);
    EXPECT_EQ(continueButton.y, 576);
    EXPECT_NEAR(continueButton.x + continueButton.w / 2.0, 400.0, 1.0);
    EXPECT_GT(screen.countRed(continueButton), 0);
    continueButton = saved;
}
