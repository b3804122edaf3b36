#include "game/Game.h"

namespace {

constexpr int16_t LastColumn = BoardColumns - 1;
constexpr int16_t LastRow = BoardRows - 1;

bool isEmpty(uint16_t value) { return value == 0; }
bool isOccupied(uint16_t value) { return static_cast<int16_t>(value) > 0; }
bool onBoard(int column, int row) { return column >= 0 && column <= LastColumn && row >= 0 && row <= LastRow; }

}  // namespace

int32_t Game::removeGroup(int16_t column, int16_t row, uint16_t colour, bool isStart)
{
    if (colour == 0 || !onBoard(column, row))
        return 0;
    int32_t count = 0;
    // The clicked cell is cleared only once a neighbour matches, so a lone tile stays.
    // Every test reads the board as it is now: cells cleared by an earlier branch no longer match.
    auto visit = [&](int16_t c, int16_t r) {
        if (cell(c, r) != colour)
            return;
        cell(column, row) = 0;
        count += removeGroup(c, r, colour, false) + 1;
    };
    if (column > 0)
        visit(column - 1, row);
    if (row > 0)
        visit(column, row - 1);
    if (column < LastColumn)
        visit(column + 1, row);
    if (row < LastRow)
        visit(column, row + 1);
    if (!isStart)
        cell(column, row) = 0;
    return count;
}

namespace {

void moveColumn(Board& board, int from, int to)
{
    for (int r = 0; r < BoardRows; ++r) {
        board[cellIndex(to, r)] = board[cellIndex(from, r)];
        board[cellIndex(from, r)] = 0;
    }
}

}  // namespace

void Game::collapse()
{
    const int gr = gravityRow;
    const int gc = gravityColumn;
    if (!onBoard(gc, gr))
        return;

    // Tiles move toward the gravity row: first those above it fall down onto it, then those
    // below it rise up to it, each column keeping its order.
    for (int c = 0; c < BoardColumns; ++c) {
        for (int r = gr; r >= 1; --r) {
            if (!isEmpty(cell(c, r)))
                continue;
            for (int k = r - 1; k >= 0; --k)
                if (isOccupied(cell(c, k))) {
                    cell(c, r) = cell(c, k);
                    cell(c, k) = 0;
                    break;
                }
        }
        for (int r = gr; r + 1 <= LastRow; ++r) {
            if (!isEmpty(cell(c, r)))
                continue;
            for (int k = r + 1; k <= LastRow; ++k)
                if (isOccupied(cell(c, k))) {
                    cell(c, r) = cell(c, k);
                    cell(c, k) = 0;
                    break;
                }
        }
    }

    // A column is empty exactly when its gravity-row cell is. Columns left of the gravity
    // column are pulled first, so an empty gravity column is refilled from the left whenever
    // the left side still has tiles.
    for (int c = gc; c >= 1; --c) {
        if (!isEmpty(cell(c, gr)))
            continue;
        for (int k = c - 1; k >= 0; --k)
            if (isOccupied(cell(k, gr))) {
                moveColumn(board, k, c);
                break;
            }
    }
    for (int c = gc; c + 1 <= LastColumn; ++c) {
        if (!isEmpty(cell(c, gr)))
            continue;
        for (int k = c + 1; k <= LastColumn; ++k)
            if (isOccupied(cell(k, gr))) {
                moveColumn(board, k, c);
                break;
            }
    }
}

int32_t Game::countMoves() const
{
    int32_t count = 0;
    for (int c = 0; c < BoardColumns; ++c)
        for (int r = 0; r < BoardRows; ++r) {
            const uint16_t v = cell(c, r);
            if (!isOccupied(v))
                continue;
            const bool hasTwin = (c > 0 && cell(c - 1, r) == v) || (r > 0 && cell(c, r - 1) == v) ||
                                 (c < LastColumn && cell(c + 1, r) == v) || (r < LastRow && cell(c, r + 1) == v);
            count += hasTwin;
        }
    return count;
}
