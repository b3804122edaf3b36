#include "game/Game.h"

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <optional>

#include "app/Clock.h"
#include "highscore/HighscoreTable.h"

SDL_Rect continueButton{0, 0, 0, 0};

namespace {

constexpr int16_t Backspace = 8;
// The highscore file splits a line at its first ';', so a name with one would lose its score.
constexpr int16_t FieldSeparator = ';';

// base raised to exponent when a double holds the result exactly (2^53 at most), else nothing.
std::optional<long long> exactPower(int32_t base, int32_t exponent)
{
    if (exponent < 0)
        return std::nullopt;
    if (base == 0)
        return exponent == 0 ? 1 : 0;
    if (base == 1 || base == -1)
        return exponent % 2 == 0 ? 1 : base;
    const long long largestToMultiply = (1LL << 53) / std::llabs(base);
    long long power = 1;
    for (int32_t done = 0; done < exponent; ++done) {
        if (std::llabs(power) > largestToMultiply)
            return std::nullopt;
        power *= base;
    }
    return power;
}

}  // namespace

Game::Game()
{
    gravityRow = BoardRows - 1;
    gravityColumn = 0;
    playerName.clear();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
}

Game::~Game()
{
    // The table writes its file when it is destroyed.
    delete highscores;
    highscores = nullptr;
}

void Game::editPlayerName(int32_t key)
{
    const uint16_t code = static_cast<uint16_t>(key);
    if (code == Backspace) {
        if (!playerName.empty())
            playerName.pop_back();
        return;
    }
    if (code >= 32 && code <= 255 && code != FieldSeparator && playerName.size() < LongestPlayerName)
        playerName.push_back(static_cast<char>(code));
}

int Game::occupiedCells() const
{
    int count = 0;
    for (uint16_t value : board)
        count += static_cast<int16_t>(value) > 0;
    return count;
}

bool Game::handleEndOfGameClick(int32_t x, int32_t y, const std::string& nameSuffix)
{
    const bool onContinue = pointInRect(toInt16(x), toInt16(y), continueButton);
    switch (state) {
    case GameResults:
        if (onContinue)
            state = highscores && highscores->qualifies(finalScore) ? NameEntry : ShowHighscores;
        return true;
    case NameEntry:
        if (onContinue && !playerName.empty()) {
            if (highscores)
                highscores->insert(playerName + nameSuffix, finalScore);
            state = ShowHighscores;
        }
        return true;
    case ShowHighscores:
        return true;
    default:
        return false;
    }
}

uint16_t Game::randomColour(int colours)
{
    return static_cast<uint16_t>(std::rand() % colours + 1);
}

void Game::dealRandomColours(int colours, int firstRow)
{
    // Storage order decides which random number lands in which cell.
    for (int column = 0; column < BoardColumns; ++column)
        for (int row = 0; row < BoardRows; ++row)
            cell(column, row) = row < firstRow ? 0 : randomColour(colours);
}

void Game::startClockOnce()
{
    if (startTicks == 0)
        startTicks = currentTicks();
}

uint32_t Game::stopClock()
{
    endTicks = currentTicks();
    return startTicks != 0 ? (endTicks - startTicks) / 1000 : 0;
}

void Game::pauseGame(int16_t& playedSeconds)
{
    if (state != Playing)
        return;
    // Each span is truncated by itself: two spans of 1.9 seconds add 2, not 3.
    if (startTicks != 0)
        playedSeconds = toInt16(playedSeconds + (currentTicks() - startTicks) / 1000);
    startTicks = 0;
    endTicks = 0;
    state = Paused;
}

void Game::resumeGame()
{
    startTicks = currentTicks();
    state = Playing;
}

bool pointInRect(int16_t x, int16_t y, const SDL_Rect& rect)
{
    const int left = rect.x;
    const int top = rect.y;
    return x >= left && x < left + static_cast<int>(rect.w) && y >= top && y < top + static_cast<int>(rect.h);
}

BoardCell cellAtPixel(int32_t x, int32_t y)
{
    const int16_t px = toInt16(x);
    const int16_t py = toInt16(y);
    BoardCell cell{static_cast<int16_t>(px / TileSize), static_cast<int16_t>(py / TileSize), false};
    // Division truncates toward zero, so -1 would land in column 0: negative pixels are
    // left of or above the window and never on the board.
    cell.onBoard = px >= 0 && py >= 0 && cell.column < BoardColumns && cell.row < BoardRows;
    return cell;
}

int16_t powerLow16(int32_t base, int32_t exponent)
{
    // Powers a double holds exactly, which are all a game normally meets, are multiplied out in
    // integers: the same result, and the mathematics library stays unloaded.
    if (const std::optional<long long> exact = exactPower(base, exponent))
        return toInt16(*exact % 65536);
    const double power = std::trunc(std::pow(static_cast<double>(base), static_cast<double>(exponent)));
    if (!std::isfinite(power))
        return 0;
    // A double this large is a multiple of 65536 anyway; fmod keeps the low 16 bits exact and
    // leaves a value that converts safely.
    const double low = std::fmod(power, 65536.0);
    return toInt16(static_cast<long long>(low));
}
