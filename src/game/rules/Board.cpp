#include "game/rules/Board.h"

#include <cassert>

#include "game/rules/Numbers.h"

CellAtPixel cellAtPixel(int32_t x, int32_t y)
{
    const int16_t px = toInt16(x);
    const int16_t py = toInt16(y);
    const Cell cell{static_cast<int16_t>(px / TileSize), static_cast<int16_t>(py / TileSize)};
    // Division truncates toward zero, so -1 would land in column 0: negative pixels are left of
    // or above the window and never on the board.
    return {cell, px >= 0 && py >= 0 && onBoard(cell.column, cell.row)};
}

uint16_t& Board::at(int column, int row)
{
    assert(onBoard(column, row));
    return cells[static_cast<std::size_t>(cellIndex(column, row))];
}

uint16_t Board::at(int column, int row) const
{
    assert(onBoard(column, row));
    return cells[static_cast<std::size_t>(cellIndex(column, row))];
}

int Board::tileCount() const
{
    int count = 0;
    for (uint16_t value : cells)
        count += holdsTile(value);
    return count;
}

int32_t removeGroup(Board& board, int16_t column, int16_t row, uint16_t colour, bool isStart)
{
    assert(onBoard(column, row));
    if (colour == 0)
        return 0;
    int32_t count = 0;
    // The clicked cell is cleared only once a neighbour matches, so a lone tile stays.
    auto visit = [&](int c, int r) {
        if (board.at(c, r) != colour)
            return;
        board.at(column, row) = 0;
        count += removeGroup(board, static_cast<int16_t>(c), static_cast<int16_t>(r), colour, false) + 1;
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
        board.at(column, row) = 0;
    return count;
}

namespace {

// Moves the tile found first among `from`, `from + step`, ... (up to `last`) into `target`.
void pullFirstTile(Board& board, int column, int target, int from, int last, int step)
{
    for (int k = from; step < 0 ? k >= last : k <= last; k += step)
        if (holdsTile(board.at(column, k))) {
            board.at(column, target) = board.at(column, k);
            board.at(column, k) = 0;
            return;
        }
}

void settleColumn(Board& board, int column, int gravityRow, int topRow)
{
    // First the tiles above the gravity row fall onto it, then those below it rise to it.
    for (int r = gravityRow; r > topRow; --r)
        if (!holdsTile(board.at(column, r)))
            pullFirstTile(board, column, r, r - 1, topRow, -1);
    for (int r = gravityRow; r < LastRow; ++r)
        if (!holdsTile(board.at(column, r)))
            pullFirstTile(board, column, r, r + 1, LastRow, +1);
}

void moveColumn(Board& board, int from, int to, int topRow)
{
    for (int r = topRow; r < BoardRows; ++r) {
        board.at(to, r) = board.at(from, r);
        board.at(from, r) = 0;
    }
}

// Fills an empty column `column` with the nearest column that has tiles, looking one way.
void pullFirstColumn(Board& board, int column, int gravityRow, int step, int topRow)
{
    for (int k = column + step; k >= 0 && k < BoardColumns; k += step)
        if (holdsTile(board.at(k, gravityRow))) {
            moveColumn(board, k, column, topRow);
            return;
        }
}

}  // namespace

void collapse(Board& board, const Settling& settling)
{
    const int gr = settling.gravity.row;
    const int gc = settling.gravity.column;
    assert(onBoard(gc, gr));
    assert(!settling.keepsFeederRow || gr == LastRow);
    const int sidewaysTop = settling.keepsFeederRow ? 1 : 0;
    for (int c = 0; c < BoardColumns; ++c)
        settleColumn(board, c, gr, c < settling.hangingColumns ? 1 : 0);

    // A column is empty exactly when its gravity-row cell is. Columns left of the gravity
    // column are pulled first, so an empty gravity column is refilled from the left whenever
    // the left side still has tiles.
    for (int c = gc; c >= 0; --c)
        if (!holdsTile(board.at(c, gr)))
            pullFirstColumn(board, c, gr, -1, sidewaysTop);
    for (int c = gc; c < BoardColumns; ++c)
        if (!holdsTile(board.at(c, gr)))
            pullFirstColumn(board, c, gr, +1, sidewaysTop);
}

int32_t countMoves(const Board& board, int firstRow)
{
    int32_t count = 0;
    for (int c = 0; c < BoardColumns; ++c)
        for (int r = firstRow; r < BoardRows; ++r) {
            const uint16_t v = board.at(c, r);
            if (!holdsTile(v))
                continue;
            count += (c > 0 && board.at(c - 1, r) == v) || (r > 0 && board.at(c, r - 1) == v) ||
                     (c < LastColumn && board.at(c + 1, r) == v) || (r < LastRow && board.at(c, r + 1) == v);
        }
    return count;
}
