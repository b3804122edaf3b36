#include "variants/rules/SpeedRules.h"

#include <cassert>

#include "game/rules/Numbers.h"

namespace {

const SpeedRules::Difficulty difficulties[] = {
    {3, 100, 5, 0, " (L)", "Leicht"},
    {2, 200, 3, 40, " (M)", "Mittel"},
    {2, 300, 3, 80, " (S)", "Schwer"},
};

// Drawn with a random number % 4 at every tenth click on a tile.
constexpr Gravity corners[] = {
    {LastRow, 0},           // bottom left, the corner at the start
    {LastRow, LastColumn},  // bottom right
    {0, LastColumn},        // top right
    {0, 0},                 // top left
};

constexpr int MostColours = 7;

}  // namespace

const SpeedRules::Difficulty& SpeedRules::settingsOf(int16_t difficulty)
{
    assert(difficulty >= 0 && difficulty <= 2);
    return difficulties[difficulty];
}

void SpeedRules::start(int16_t difficultyLevel, RandomSource& random)
{
    difficulty = difficultyLevel;
    drainPerTick = settings().drainPerTick;
    colourCount = settings().startColours;
    points = settings().startPoints;
    gravity = corners[0];
    deal(board, colourCount, random);
    clock = GameClock{};
    tileClicks = 0;
    seconds = 0;
    state = Playing;
}

bool SpeedRules::tick(uint32_t now)
{
    if (!clock.running())
        return false;
    points = toInt16(points - drainPerTick);
    if (points < 0)
        finishGame(now);
    return true;
}

Removal SpeedRules::click(const CellAtPixel& at, uint32_t now, RandomSource& random)
{
    assert(state == Playing);
    Removal removal;
    if (at.onBoard) {
        if (holdsTile(board.at(at.cell.column, at.cell.row))) {
            clock.startOnce(now);
            tileClicks = toInt16(tileClicks + 1);
            // The new corner is drawn before this click's removal, so its collapse already uses it.
            if (tileClicks % 10 == 0)
                moveToRandomCorner(random);
            removal = removeGroupAt(board, at.cell);
        }
        if (removal.removed > 0) {
            // Removals pay only once the board has more colours than the difficulty asks for.
            const int factor = colourCount - difficulty - 1;
            if (factor > 0)
                points = toInt16(points + factor * removal.removed);
            collapse(board, {gravity});
        } else {
            penalise(now);
        }
    }
    // A click that has just lost the game leaves the board, the points and the colours as they
    // were at that moment: no new board under the result screen, no second ending.
    if (state == Playing && countMoves(board) == 0)
        nextBoard(now, random);
    return removal;
}

void SpeedRules::penalise(uint32_t now)
{
    points = toInt16(points - 2 * drainPerTick);
    if (points < 0)
        finishGame(now);
}

void SpeedRules::moveToRandomCorner(RandomSource& random) { gravity = corners[random.next() % 4]; }

void SpeedRules::nextBoard(uint32_t now, RandomSource& random)
{
    colourCount = toInt16(colourCount + 1);
    if (colourCount > MostColours) {
        finishGame(now);  // won; the last tiles stay on the board
        return;
    }
    deal(board, colourCount, random);
    points = toInt16(points + settings().pointsPerNewBoard);
}

void SpeedRules::finishGame(uint32_t now)
{
    seconds = toInt16(seconds + clock.stop(now));
    finalScore = seconds + colourBonus();
    if (points > 0)
        finalScore += points + difficulty * 1000;
    state = GameResults;
}
