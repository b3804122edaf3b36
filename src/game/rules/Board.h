#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

// The board: 25 columns by 18 rows of 32-pixel cells, covering the window from (0, 0) to (799, 575).
constexpr int BoardColumns = 25;
constexpr int BoardRows = 18;
constexpr int BoardCells = BoardColumns * BoardRows;
constexpr int TileSize = 32;
constexpr int16_t LastColumn = BoardColumns - 1;
constexpr int16_t LastRow = BoardRows - 1;

// A cell value is 0 (empty) or a colour 1..7. Every rule asks whether a cell holds a tile here.
constexpr bool holdsTile(uint16_t value) { return static_cast<int16_t>(value) > 0; }

struct Cell {
    int16_t column;
    int16_t row;
};
constexpr bool onBoard(int column, int row) { return column >= 0 && column <= LastColumn && row >= 0 && row <= LastRow; }

// The cell under a window pixel. Only the low 16 bits of x and y count, as signed numbers; a
// negative coordinate is off the board.
struct CellAtPixel {
    Cell cell;
    bool onBoard;
};
CellAtPixel cellAtPixel(int32_t x, int32_t y);

// The point toward which tiles move inside each column (row) and emptied columns close (column).
struct Gravity {
    int16_t row = LastRow;
    int16_t column = 0;
    bool operator==(const Gravity&) const = default;
};

// Cells are stored column by column: (column, row) is element column * 18 + row. Every loop over
// the whole board visits them in this order, which decides which random number lands where.
constexpr int cellIndex(int column, int row) { return column * BoardRows + row; }

class Board {
public:
    uint16_t& at(int column, int row);
    uint16_t at(int column, int row) const;
    uint16_t& operator[](int index) { return cells[static_cast<std::size_t>(index)]; }
    uint16_t operator[](int index) const { return cells[static_cast<std::size_t>(index)]; }
    auto begin() const { return cells.begin(); }
    auto end() const { return cells.end(); }
    bool operator==(const Board&) const = default;

    int tileCount() const;

private:
    std::array<uint16_t, BoardCells> cells{};
};

// Removes the group of `colour` that holds (column, row): the tiles joined to it through left,
// upper, right and lower neighbours. Returns the group's size minus 1; a lone tile or an empty
// cell gives 0 and leaves the board as it was. Neighbours are visited left, up, right, down,
// each tested against the board as it is by then. Callers pass the clicked cell's own value.
int32_t removeGroup(Board& board, int16_t column, int16_t row, uint16_t colour, bool isStart = true);

// How a board settles after a removal.
struct Settling {
    Gravity gravity;
    // FallDown's feeder row: its cells never move sideways, and in the first `hangingColumns`
    // columns (those fed in this cycle) they do not fall either.
    bool keepsFeederRow = false;
    int hangingColumns = 0;
};

// Tiles close up toward the gravity row inside each column, keeping their order; then the
// emptied columns close toward the gravity column, first from its left, then from its right.
void collapse(Board& board, const Settling& settling);

// The tiles in rows firstRow..17 that have a neighbour of their own colour (in any row): a pair
// counts 2. The board has no move left when this is 0.
int32_t countMoves(const Board& board, int firstRow = 0);
