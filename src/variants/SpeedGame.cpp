#include "variants/SpeedGame.h"

#include <algorithm>
#include <cstdlib>

#include "app/Redraw.h"
#include "gfx/Text.h"
#include "highscore/HighscoreTable.h"

namespace {

struct DifficultySettings {
    int16_t startColours;
    int16_t startPoints;
    int16_t drainPerTick;
    int16_t pointsPerNewBoard;
    const char* nameSuffix;
    const char* label;
};

const DifficultySettings difficultyTable[] = {
    {3, 100, 5, 0, " (L)", "Leicht"},
    {2, 200, 3, 40, " (M)", "Mittel"},
    {2, 300, 3, 80, " (S)", "Schwer"},
};

// The menu offers only 0 to 2; anything else reads the nearest row rather than past the table.
const DifficultySettings& settingsFor(int16_t difficulty)
{
    return difficultyTable[std::clamp<int>(difficulty, 0, 2)];
}

struct Corner {
    int16_t row;
    int16_t column;
};

// Drawn with rand() % 4 at every tenth click on a tile.
constexpr Corner corners[] = {
    {17, 0},   // bottom left, the corner at the start
    {17, 24},  // bottom right
    {0, 24},   // top right
    {0, 0},    // top left
};

constexpr int MaxColours = 7;

}  // namespace

SpeedGame::SpeedGame(int16_t difficultyLevel)
{
    difficulty = difficultyLevel;
    const DifficultySettings& settings = settingsFor(difficulty);
    drainPerTick = settings.drainPerTick;
    colourCount = settings.startColours;
    points = settings.startPoints;
    gravityRow = 17;
    gravityColumn = 0;
    highscores = new HighscoreTable("Speed Click", "Data/var3.hsc", 10);
    dealBoard();
}

void SpeedGame::dealBoard()
{
    dealRandomColours(colourCount);
    startTicks = 0;
    endTicks = 0;
    tileClicks = 0;
    seconds = 0;
    state = Playing;
}

void SpeedGame::tick()
{
    if (!clockRunning())
        return;
    points = toInt16(points - drainPerTick);
    if (points < 0)
        finishGame();
    else
        requestRedraw();
}

void SpeedGame::click(int32_t x, int32_t y)
{
    switch (state) {
    case Playing:
        playClick(x, y);
        break;
    case Paused:
        resumeGame();  // and nothing else: a click on a tile does not remove it
        break;
    default:
        handleEndOfGameClick(x, y, settingsFor(difficulty).nameSuffix);
        break;
    }
}

void SpeedGame::playClick(int32_t x, int32_t y)
{
    if (pointInRect(toInt16(x), toInt16(y), pauseButton)) {
        leave();
        return;
    }
    const BoardCell target = cellAtPixel(x, y);
    if (target.onBoard) {
        const uint16_t colour = cell(target.column, target.row);
        if (static_cast<int16_t>(colour) > 0)
            clickTile(target.column, target.row, colour);
        else
            penalise();
    }
    // A click that has just lost the game leaves the board, the points and the colours as
    // they were at that moment: no new board under the result screen, no second ending.
    if (state != Playing)
        return;
    if (countMoves() == 0)
        nextBoard();
}

void SpeedGame::clickTile(int16_t column, int16_t row, uint16_t colour)
{
    startClockOnce();
    tileClicks = toInt16(tileClicks + 1);
    // The new corner is drawn before this click's removal, so its collapse already uses it.
    if (tileClicks % 10 == 0)
        moveToRandomCorner();
    previousBoard = board;
    const int32_t removed = removeGroup(column, row, colour, true);
    if (removed == 0) {
        penalise();
        return;
    }
    // Removals pay only once the board has more colours than the difficulty asks for.
    const int factor = colourCount - difficulty - 1;
    if (factor > 0)
        points = toInt16(points + factor * removed);
    animateRemoval();
    collapse();
}

void SpeedGame::penalise()
{
    points = toInt16(points - 2 * drainPerTick);
    if (points < 0)
        finishGame();
}

void SpeedGame::moveToRandomCorner()
{
    const Corner& corner = corners[rand() % 4];
    gravityRow = corner.row;
    gravityColumn = corner.column;
}

void SpeedGame::nextBoard()
{
    colourCount = toInt16(colourCount + 1);
    if (colourCount > MaxColours) {
        finishGame();  // won; the last tiles stay on the board
        return;
    }
    dealRandomColours(colourCount);
    points = toInt16(points + settingsFor(difficulty).pointsPerNewBoard);
}

int32_t SpeedGame::colourBonus() const
{
    return int32_t{colourCount} * (difficulty + 1) * 100;
}

void SpeedGame::finishGame()
{
    seconds = toInt16(seconds + stopClock());
    finalScore = seconds + colourBonus();
    if (points > 0)
        finalScore += points + difficulty * 1000;
    state = GameResults;
    requestRedraw();
}

void SpeedGame::leave()
{
    pauseGame(seconds);
}

void SpeedGame::draw()
{
    switch (state) {
    case Playing:
        drawBoard();
        drawStatusBar("Punkte: " + intToString(points), "(pause)", "M\xF6glichkeiten: " + intToString(countMoves()),
                      &pauseButton);
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

void SpeedGame::drawGameResults() const
{
    // A lost game shows no remaining points and no win bonus: its total never had them.
    drawOutcomeResult(won(), {
        "Endeergebniss des Spiels",
        TitleRule,
        won() ? "RestPunkte: " + intToString(points) : std::string("RestPunkte: 0"),
        "Zeit: " + intToString(seconds) + " Sekunden",
        "Farben: " + intToString(colourCount),
        std::string("Schwierigkeit: ") + settingsFor(difficulty).label,
        "-> Bonus: " + intToString(colourBonus()),
        won() ? "-> GewinnBonus: " + intToString(difficulty * 1000) : std::string(),
        TotalRule,
        "Gesamtergebniss: " + intToString(finalScore),
    });
    drawContinueButton();
}
