#include "variants/FallDownGame.h"

#include <cstdlib>
#include <string>

#include "app/Redraw.h"
#include "gfx/Text.h"
#include "highscore/HighscoreTable.h"

namespace {

constexpr int TopRow = 0;
constexpr int BottomRow = BoardRows - 1;
constexpr int FirstDealtRow = 3;  // rows above it start empty, room for the feeder
constexpr int16_t StartColours = 4;
constexpr int16_t MostColours = 7;  // the tile sheet has seven colours
constexpr int32_t ColourBonusPerColour = 200;
constexpr int32_t WinBonus = 3000;

bool isEmpty(uint16_t cell) { return cell == 0; }

}  // namespace

FallDownGame::FallDownGame()
{
    colourCount = StartColours;
    gravityRow = BottomRow;
    gravityColumn = 12;  // emptied columns close toward the middle from both sides
    highscores = new HighscoreTable("FallDown Click", "Data/var4.hsc", 10);
    dealBoard();
}

void FallDownGame::dealBoard()
{
    dealRandomColours(colourCount, FirstDealtRow);
    startTicks = 0;
    endTicks = 0;
    refillColumn = 0;
    points = 0;
    seconds = 0;
    won = false;
    state = Playing;
}

void FallDownGame::tick()
{
    // The feeder waits for the first tile click and stands still while paused.
    if (!clockRunning())
        return;
    if (refillColumn >= BoardColumns) {
        collapse();
        refillColumn = 0;
        requestRedraw();
        return;
    }
    if (!isEmpty(cell(refillColumn, TopRow))) {
        finishGame();  // nowhere to put the next tile: lost, and nothing is placed
        return;
    }
    cell(refillColumn, TopRow) = randomColour(colourCount);
    refillColumn = toInt16(refillColumn + 1);
    requestRedraw();
}

void FallDownGame::click(int32_t x, int32_t y)
{
    switch (state) {
    case Playing:
        clickWhilePlaying(x, y);
        break;
    case Paused:
        resumeGame();
        break;
    default:
        handleEndOfGameClick(x, y, "");  // FallDown enters the name as typed
        break;
    }
}

void FallDownGame::clickWhilePlaying(int32_t x, int32_t y)
{
    if (pointInRect(toInt16(x), toInt16(y), pauseButton)) {
        leave();
        return;
    }
    const BoardCell at = cellAtPixel(x, y);
    if (at.onBoard) {
        const uint16_t colour = cell(at.column, at.row);
        if (isEmpty(colour))
            tick();
        else
            clickTile(at.column, at.row, colour);
    }
    // A feeding step of this click may have lost the game already; the result screen then
    // keeps the board and score of that moment instead of a new board or a second ending.
    if (state != Playing)
        return;
    if (countMovesBelowTop() == 0)
        nextBoard();
}

void FallDownGame::clickTile(int16_t column, int16_t row, uint16_t colour)
{
    startClockOnce();  // the feeder starts with the first tile click
    previousBoard = board;
    const int32_t removed = removeGroup(column, row, colour, true);
    if (removed > 0) {
        points = toInt16(points + removed);
        animateRemoval();
        collapseBelowTop();
    } else {
        tick();  // a lone tile costs one feeding step
    }
}

void FallDownGame::leave()
{
    // Only a game being played pauses: resuming a finished one would feed colours past the seventh.
    pauseGame(seconds);
}

void FallDownGame::moveColumnBelowTop(int from, int to)
{
    // Top-row cells belong to the feeder's column and never move sideways.
    for (int row = TopRow + 1; row < BoardRows; ++row) {
        cell(to, row) = cell(from, row);
        cell(from, row) = 0;
    }
}

void FallDownGame::collapseBelowTop()
{
    // A top cell placed in this cycle hangs until the cycle's falling tick; one left over from
    // an earlier cycle (the feeder has not come back to its column yet) falls like any tile.
    for (int column = 0; column < BoardColumns; ++column) {
        const int top = column < refillColumn ? TopRow + 1 : TopRow;
        for (int row = BottomRow; row >= top; --row) {
            if (!isEmpty(cell(column, row)))
                continue;
            for (int above = row - 1; above >= top; --above) {
                if (!isEmpty(cell(column, above))) {
                    cell(column, row) = cell(column, above);
                    cell(column, above) = 0;
                    break;
                }
            }
        }
    }
    // Columns close toward the middle: first the left side, then the right side.
    for (int column = gravityColumn; column >= 0; --column) {
        if (!isEmpty(cell(column, BottomRow)))
            continue;
        for (int source = column - 1; source >= 0; --source) {
            if (!isEmpty(cell(source, BottomRow))) {
                moveColumnBelowTop(source, column);
                break;
            }
        }
    }
    for (int column = gravityColumn; column < BoardColumns; ++column) {
        if (!isEmpty(cell(column, BottomRow)))
            continue;
        for (int source = column + 1; source < BoardColumns; ++source) {
            if (!isEmpty(cell(source, BottomRow))) {
                moveColumnBelowTop(source, column);
                break;
            }
        }
    }
}

int32_t FallDownGame::countMovesBelowTop() const
{
    int32_t moves = 0;
    for (int column = 0; column < BoardColumns; ++column) {
        for (int row = TopRow + 1; row < BoardRows; ++row) {
            const uint16_t colour = cell(column, row);
            if (isEmpty(colour))
                continue;
            // The upper neighbour may be a top-row cell: a feeder tile can be clicked away.
            const bool paired = (column > 0 && cell(column - 1, row) == colour) || cell(column, row - 1) == colour
                                || (column < BoardColumns - 1 && cell(column + 1, row) == colour)
                                || (row < BottomRow && cell(column, row + 1) == colour);
            moves += paired;
        }
    }
    return moves;
}

void FallDownGame::nextBoard()
{
    colourCount = toInt16(colourCount + 1);
    refillColumn = 0;
    if (colourCount > MostColours) {
        won = true;
        finishGame();
        return;
    }
    dealRandomColours(colourCount, FirstDealtRow);
    requestRedraw();
}

void FallDownGame::finishGame()
{
    // A clock that never ran (no tile was clicked) has no span to add.
    seconds = toInt16(seconds + stopClock());
    finalScore = points + (colourCount - 3) * ColourBonusPerColour + seconds + (won ? WinBonus : 0);
    state = GameResults;
    requestRedraw();
}

void FallDownGame::draw()
{
    switch (state) {
    case Playing:
        drawBoard();
        drawStatusBar("Punkte: " + intToString(points), "(pause)",
                      "M\xF6glichkeiten: " + intToString(countMovesBelowTop()), &pauseButton);
        break;
    case Paused:
        drawPauseScreen();
        break;
    case GameResults:
        drawGameResults();
        break;
    default:
        drawEndOfGameScreen();
        break;
    }
}

void FallDownGame::drawGameResults() const
{
    // The bonus line shows what the total really adds, so lines 3 to 7 sum up to line 9.
    drawOutcomeResult(won, {
        "Endeergebniss des Spiels",
        TitleRule,
        "Punkte: " + intToString(points),
        "Zeit: " + intToString(seconds) + " Sekunden",
        "Farben: " + intToString(colourCount),
        "-> Bonus: " + intToString((colourCount - 3) * ColourBonusPerColour),
        won ? "-> GewinnBonus: " + intToString(WinBonus) : "",
        TotalRule,
        "Gesamtergebniss: " + intToString(finalScore),
    });
    drawContinueButton();
}
