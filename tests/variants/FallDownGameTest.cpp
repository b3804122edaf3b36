#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "VariantTestSupport.h"
#include "highscore/HighscoreTable.h"
#include "variants/FallDownGame.h"

using namespace testing_support;

namespace {

std::string padded(std::string_view row) { return std::string(row) + std::string(BoardColumns - row.size(), '.'); }

class FallDown : public VariantTest {
protected:
    FallDownGame game;

    void startClock() { game.startTicks = clock.now(); }
    void clickCell(int column, int row) { game.click(pixelOf(column), pixelOf(row)); }
};

}  // namespace

TEST_F(FallDown, StartsWithFourColoursBelowThreeEmptyRows)
{
    EXPECT_EQ(game.colourCount, 4);
    EXPECT_EQ(game.gravityRow, 17);
    EXPECT_EQ(game.gravityColumn, 12);
    EXPECT_EQ(game.state, Playing);
    EXPECT_EQ(game.startTicks, 0u);
    ASSERT_NE(game.highscores, nullptr);
    EXPECT_EQ(game.highscores->title, "FallDown Click");
    EXPECT_EQ(game.highscores->fileName, "Data/var4.hsc");
    for (int column = 0; column < BoardColumns; ++column)
        for (int row = 0; row < BoardRows; ++row) {
            const int value = game.cell(column, row);
            if (row < 3)
                EXPECT_EQ(value, 0) << column << "," << row;
            else
                EXPECT_TRUE(value >= 1 && value <= 4) << column << "," << row << ": " << value;
        }
}

TEST_F(FallDown, TicksDoNothingBeforeTheFirstTileClick)
{
    const Board dealt = game.board;
    for (int i = 0; i < 30; ++i) {
        clock.advance(500);
        game.tick();
    }
    EXPECT_EQ(game.board, dealt);
    EXPECT_EQ(game.refillColumn, 0);
    EXPECT_EQ(game.seconds, 0);
}

TEST_F(FallDown, FirstClickOnALoneTileStartsTheClockAndFeedsOneTopCell)
{
    game.board = boardFromBottomRows({"1244"});
    clickCell(0, 17);

    EXPECT_EQ(game.startTicks, clock.now());
    EXPECT_EQ(rowText(game.board, 17), padded("1244"));  // the lone tile stays
    EXPECT_GE(game.cell(0, 0), 1);
    EXPECT_LE(game.cell(0, 0), 4);
    EXPECT_EQ(rowText(game.board, 0).substr(1), padded("").substr(1));
    EXPECT_EQ(game.refillColumn, 1);
    EXPECT_EQ(game.points, 0);
}

TEST_F(FallDown, ClickOnAnEmptyCellFeedsOnlyOnceTheClockRuns)
{
    for (bool running : {false, true}) {
        SCOPED_TRACE(running ? "clock running" : "clock not started");
        game.board = boardFromBottomRows({"1244"});
        game.refillColumn = 0;
        game.startTicks = running ? clock.now() - 3000 : 0;
        clickCell(6, 9);

        EXPECT_EQ(game.refillColumn, running ? 1 : 0);
        EXPECT_EQ(game.cell(0, 0) != 0, running);
        EXPECT_EQ(game.startTicks != 0, running);  // an empty cell never starts the clock
    }
}

TEST_F(FallDown, OneCycleIsTwentyFivePlacementsAndOneFall)
{
    // Even columns hold two tiles, odd columns one.
    game.board = boardFromBottomRows({
        "1.2.3.4.1.2.3.4.1.2.3.4.1",
        "2341234123412341234123412",
    });
    const Board before = game.board;
    startClock();

    for (int i = 0; i < 25; ++i)
        game.tick();
    EXPECT_EQ(game.refillColumn, 25);
    std::vector<uint16_t> placed;
    for (int column = 0; column < BoardColumns; ++column) {
        placed.push_back(game.cell(column, 0));
        EXPECT_TRUE(placed.back() >= 1 && placed.back() <= 4) << column;
    }

    game.tick();
    EXPECT_EQ(game.refillColumn, 0);
    EXPECT_EQ(rowText(game.board, 0), padded(""));
    for (int column = 0; column < BoardColumns; ++column) {
        const int landing = column % 2 == 0 ? 15 : 16;
        EXPECT_EQ(game.cell(column, landing), placed[column]) << column;
        for (int row = landing + 1; row < BoardRows; ++row)
            EXPECT_EQ(game.cell(column, row), before[cellIndex(column, row)]) << column << "," << row;
    }
    EXPECT_EQ(game.state, Playing);
}

TEST_F(FallDown, RemovalLeavesThisCyclesTopCellHangingAndLetsAnOlderOneFall)
{
    // Column 1 was fed in this cycle (the feeder stands at column 3); column 5's top cell is
    // left from an earlier cycle.
    game.board = boardAt(0, 0, {".4...3"});
    const Board below = boardFromBottomRows({
        ".2...2",
        "111111....2",
        "2323232323232323232323232",
    });
    for (int i = 0; i < BoardCells; ++i)
        game.board[i] |= below[i];
    game.refillColumn = 3;
    startClock();

    clickCell(0, 16);

    EXPECT_EQ(game.points, 5);
    EXPECT_EQ(rowText(game.board, 0), padded(".4"));
    EXPECT_EQ(rowText(game.board, 15), padded(".....3"));
    EXPECT_EQ(rowText(game.board, 16), padded(".2...2....2"));
    EXPECT_EQ(rowText(game.board, 17), "2323232323232323232323232");
    EXPECT_EQ(game.refillColumn, 3);
}

TEST_F(FallDown, EmptiedColumnsCloseTowardTheMiddleWhileTheTopRowStays)
{
    struct Case {
        int clickedColumn;
        std::string bottomAfter;
        std::string aboveAfter;
    };
    const Case cases[] = {
        {3, ".234623456234562345613456", "....................1...."},   // left side moves right
        {20, "234162345623456234563456.", "...1....................."},  // right side moves left
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clickedColumn);
        game.board = boardAt(0, 0, {"7.7...................7.7"});
        const Board below = boardFromBottomRows({
            "...1................1....",
            "2341623456234562345613456",
        });
        for (int i = 0; i < BoardCells; ++i)
            game.board[i] |= below[i];
        game.refillColumn = 25;  // every top cell was placed in this cycle and hangs
        startClock();

        clickCell(c.clickedColumn, 17);

        EXPECT_EQ(rowText(game.board, 17), c.bottomAfter);
        EXPECT_EQ(rowText(game.board, 16), c.aboveAfter);
        EXPECT_EQ(rowText(game.board, 0), "7.7...................7.7");
        EXPECT_EQ(game.state, Playing);
    }
}

TEST_F(FallDown, TickOntoAnOccupiedTopCellLosesAndPlacesNothing)
{
    game.board = boardAt(0, 0, {"1234123.3"});
    game.board[cellIndex(9, 17)] = 2;
    game.refillColumn = 7;
    game.points = 30;
    startClock();
    clock.advance(12500);

    game.tick();  // column 7 is free
    EXPECT_EQ(game.refillColumn, 8);
    EXPECT_NE(game.cell(7, 0), 0);
    const Board beforeLoss = game.board;
    game.tick();  // column 8 is taken

    EXPECT_EQ(game.board, beforeLoss);
    EXPECT_EQ(game.refillColumn, 8);
    EXPECT_EQ(game.state, GameResults);
    EXPECT_FALSE(game.won);
    EXPECT_EQ(game.seconds, 12);
    EXPECT_EQ(game.finalScore, 30 + 200 + 12);
}

TEST_F(FallDown, FullColumnKeepsItsTopCellAfterTheFallAndLosesWhenTheFeederComesBack)
{
    game.board = boardAt(0, 0, {"1234123412341234123412341"});
    const Board bottom = boardFromBottomRows({"2121212121212121212121212"});
    for (int i = 0; i < BoardCells; ++i)
        game.board[i] |= bottom[i];
    for (int row = 1; row < BoardRows; ++row)
        game.cell(4, row) = static_cast<uint16_t>(row % 2 + 1);
    game.refillColumn = 25;
    startClock();

    game.tick();  // the fall
    EXPECT_EQ(game.refillColumn, 0);
    EXPECT_EQ(rowText(game.board, 0), padded("....1"));
    EXPECT_EQ(rowText(game.board, 16), "1234123412341234123412341");  // column 4 did not move

    for (int i = 0; i < 4; ++i)
        game.tick();
    EXPECT_EQ(game.state, Playing);
    game.tick();
    EXPECT_EQ(game.state, GameResults);
    EXPECT_EQ(game.refillColumn, 4);
}

TEST_F(FallDown, NoMovesBelowTopDealsOneColourMoreUntilTheSevenColourBoardWins)
{
    for (int16_t colours : {5, 7}) {
        SCOPED_TRACE(colours);
        game.state = Playing;
        game.won = false;
        game.endTicks = 0;
        game.colourCount = colours;
        game.points = 100;
        game.seconds = 40;
        game.refillColumn = 9;
        game.board = boardFromBottomRows({"2113"});  // its only pair
        startClock();
        clock.advance(20000);

        clickCell(1, 17);

        EXPECT_EQ(game.colourCount, colours + 1);
        EXPECT_EQ(game.refillColumn, 0);
        EXPECT_EQ(game.points, 101);
        if (colours == 7) {
            EXPECT_EQ(game.state, GameResults);
            EXPECT_TRUE(game.won);
            EXPECT_EQ(game.seconds, 60);
            EXPECT_EQ(game.finalScore, 101 + 5 * 200 + 60 + 3000);
            EXPECT_EQ(rowText(game.board, 17), padded("...........23"));  // the last board stays
        } else {
            EXPECT_EQ(game.state, Playing);
            EXPECT_EQ(game.seconds, 40);
            EXPECT_EQ(game.startTicks, clock.now() - 20000);
            for (int column = 0; column < BoardColumns; ++column)
                for (int row = 0; row < BoardRows; ++row) {
                    const int value = game.cell(column, row);
                    EXPECT_TRUE(row < 3 ? value == 0 : value >= 1 && value <= 6) << column << "," << row;
                }
        }
    }
}

TEST_F(FallDown, FinalScoreAddsPointsColourBonusSecondsAndTheWinBonus)
{
    struct Case {
        int16_t colours;
        int16_t points;
        uint32_t milliseconds;
        bool won;
        int16_t seconds;
        int32_t finalScore;
    };
    const Case cases[] = {
        {4, 500, 95000, false, 95, 795},     // lost on the first board
        {8, 2000, 600000, true, 600, 6600},  // won
        {5, 0, 1999, false, 1, 401},         // the span is truncated to whole seconds
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.finalScore);
        game.colourCount = c.colours;
        game.points = c.points;
        game.won = c.won;
        game.seconds = 0;
        game.endTicks = 0;
        game.state = Playing;
        startClock();
        clock.advance(c.milliseconds);

        game.finishGame();

        EXPECT_EQ(game.seconds, c.seconds);
        EXPECT_EQ(game.finalScore, c.finalScore);
        EXPECT_EQ(game.endTicks, clock.now());
        EXPECT_EQ(game.state, GameResults);
    }
}

TEST_F(FallDown, MovesBelowTopIgnoreTopRowPairsButCountARowOneMatch)
{
    struct Case {
        const char* what;
        Board board;
        int32_t moves;
    };
    const Case cases[] = {
        {"a pair in the top row only", boardAt(0, 0, {"11.5"}), 0},
        {"row 1 under its colour in row 0", boardAt(0, 0, {".2", ".2"}), 1},
        {"row 1 under another colour", boardAt(0, 0, {".2", ".3"}), 0},
        {"a pair at the bottom right corner", boardFromBottomRows({".......................33"}), 2},
        {"four in an L beside a lone tile", boardFromBottomRows({"4.", "45", "44"}), 4},
    };
    for (const Case& c : cases) {
        game.board = c.board;
        EXPECT_EQ(game.countMovesBelowTop(), c.moves) << c.what;
    }
}

TEST_F(FallDown, PausingAddsEachSpanByItselfAndStopsTheClock)
{
    game.board = boardFromBottomRows({"1244"});
    startClock();
    for (int span = 1; span <= 2; ++span) {
        clock.advance(1900);
        game.leave();
        EXPECT_EQ(game.state, Paused);
        EXPECT_EQ(game.startTicks, 0u);
        EXPECT_EQ(game.seconds, span);  // 1.9 s twice adds 2, not 3

        game.tick();
        EXPECT_EQ(game.refillColumn, 0);  // the feeder stands still

        clock.advance(60000);  // time spent paused is not counted
        game.click(400, 590);
        EXPECT_EQ(game.state, Playing);
        EXPECT_EQ(game.startTicks, clock.now());
    }
}

TEST_F(FallDown, PauseBeforeTheFirstTileAddsNothingAndResumingStartsTheFeeder)
{
    clock.advance(7000);
    game.leave();
    EXPECT_EQ(game.seconds, 0);
    game.click(400, 590);
    EXPECT_EQ(game.startTicks, clock.now());
    game.tick();
    EXPECT_NE(game.cell(0, 0), 0);
}

TEST_F(FallDown, ClickOnATileWhilePausedOnlyResumes)
{
    game.board = boardFromBottomRows({"1144"});
    startClock();
    game.leave();

    clickCell(0, 17);

    EXPECT_EQ(game.state, Playing);
    EXPECT_EQ(rowText(game.board, 17), padded("1144"));
    EXPECT_EQ(game.points, 0);
    EXPECT_EQ(game.refillColumn, 0);
}

TEST_F(FallDown, PauseLabelPausesButNothingPausesAFinishedGame)
{
    game.board = boardFromBottomRows({"1144"});
    game.pauseButton = SDL_Rect{370, 576, 60, 22};
    startClock();
    game.click(399, 580);
    EXPECT_EQ(game.state, Paused);

    for (int32_t finished : {GameResults, NameEntry, ShowHighscores}) {
        game.state = finished;
        game.startTicks = 5;
        game.endTicks = 9;
        game.leave();
        EXPECT_EQ(game.state, finished);
        EXPECT_EQ(game.startTicks, 5u);
        EXPECT_EQ(game.endTicks, 9u);
    }
}

TEST_F(FallDown, ClickWhoseFeedingStepLosesDealsNoNewBoard)
{
    // No move is left below the top row, and the feeder's next cell is taken.
    for (int column : {0, 1}) {  // a lone tile, then an empty cell
        SCOPED_TRACE(column);
        game.board = boardAt(0, 0, {"5"});
        game.board[cellIndex(0, 17)] = 2;
        game.board[cellIndex(2, 17)] = 3;
        game.colourCount = 7;
        game.refillColumn = 0;
        game.state = Playing;
        game.endTicks = 0;
        game.seconds = 0;
        startClock();
        clock.advance(30000);

        clickCell(column, 17);

        EXPECT_EQ(game.state, GameResults);
        EXPECT_FALSE(game.won);
        EXPECT_EQ(game.colourCount, 7);
        EXPECT_EQ(game.finalScore, 4 * 200 + 30);
        EXPECT_EQ(rowText(game.board, 17), padded("2.3"));
    }
}

namespace {

class FallDownScreen : public VariantTest {
protected:
    DummyScreen screen;
    FallDownGame game;
    TextRecorder recorder;
};

}  // namespace

TEST_F(FallDownScreen, ResultLinesAddUpToTheTotalAndALossShowsNoWinBonus)
{
    const struct {
        const char* what;
        bool won;
        int16_t points, seconds, colours;
        int32_t finalScore;
        std::string heading;
        std::vector<std::string> lines;  // lines 1 to 9
    } cases[] = {
        {"won", true, 2000, 600, 8, 6600, "Gewonnen!",
         {"Endeergebniss des Spiels", "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~", "Punkte: 2000", "Zeit: 600 Sekunden",
          "Farben: 8", "-> Bonus: 1000", "-> GewinnBonus: 3000", "-------------------------------------",
          "Gesamtergebniss: 6600"}},
        {"lost", false, 500, 95, 4, 795, "Leider Verloren!",
         {"Endeergebniss des Spiels", "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~", "Punkte: 500", "Zeit: 95 Sekunden",
          "Farben: 4", "-> Bonus: 200", "", "-------------------------------------", "Gesamtergebniss: 795"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        game.state = GameResults;
        game.won = c.won;
        game.points = c.points;
        game.seconds = c.seconds;
        game.colourCount = c.colours;
        game.finalScore = c.finalScore;
        continueButton = SDL_Rect{0, 0, 0, 0};
        recorder.clear();
        game.draw();

        expectTexts(recorder.texts, outcomeScreen(c.heading, c.lines));
        EXPECT_GT(continueButton.w, 0);
    }
}

TEST_F(FallDownScreen, StatusBarLabelsPauseAndCountsMovesBelowTheTopRow)
{
    game.board = boardAt(0, 0, {"33", "1", "14"});  // the top-row pair does not count
    game.points = 12;
    game.draw();

    expectTexts(recorder.texts, {
        {"Punkte: 12", 0, 576, TextAlign::Left, 18},
        {"(pause)", 0, 576, TextAlign::Center, 18},
        {"M\xF6glichkeiten: 2", 0, 576, TextAlign::Right, 18},
    });

    // The label as drawn is the button.
    ASSERT_GT(game.pauseButton.w, 0);
    EXPECT_NEAR(game.pauseButton.x + game.pauseButton.w / 2, 400, 1);
    game.click(game.pauseButton.x + 1, game.pauseButton.y + 1);
    EXPECT_EQ(game.state, Paused);

    recorder.clear();
    game.draw();
    expectTexts(recorder.texts, {pauseWord});
}

TEST_F(FallDownScreen, ContinueLeadsThroughNameEntryAndEntersTheNameUnchanged)
{
    game.state = GameResults;
    game.finalScore = 795;
    game.draw();
    game.click(continueButton.x + 2, continueButton.y + 2);
    ASSERT_EQ(game.state, NameEntry);

    game.editPlayerName('U');
    game.editPlayerName('t');
    game.editPlayerName('e');
    recorder.clear();
    game.draw();
    EXPECT_TRUE(recorder.contains("Ute"));
    EXPECT_TRUE(recorder.contains("weiter"));
    game.click(continueButton.x + 2, continueButton.y + 2);

    EXPECT_EQ(game.state, ShowHighscores);
    EXPECT_EQ(game.highscores->name(0), "Ute");
    EXPECT_EQ(game.highscores->score(0), 795);
}
