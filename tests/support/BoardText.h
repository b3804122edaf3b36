#pragma once
// Boards written as they appear on screen: '.' is empty, '1'..'7' are colours, 'x' stands for 8
// (a value without a tile).
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "game/Game.h"

namespace testing_support {

inline uint16_t cellFromChar(char ch)
{
    if (ch != '.' && ch != 'x' && (ch < '1' || ch > '7'))
        throw std::invalid_argument(std::string("no cell is written as ") + ch);
    return ch == '.' ? 0 : ch == 'x' ? 8 : static_cast<uint16_t>(ch - '0');
}

inline char charFromCell(uint16_t value) { return value > 8 ? '?' : ".1234567x"[value]; }

// One string per row; the first character of the first string lands on (leftColumn, topRow).
inline Board boardAt(int leftColumn, int topRow, const std::vector<std::string_view>& rows)
{
    Board board{};
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t i = 0; i < rows[r].size(); ++i) {
            const int column = leftColumn + static_cast<int>(i), row = topRow + static_cast<int>(r);
            if (column >= BoardColumns || row < 0 || row >= BoardRows)
                throw std::out_of_range("test board leaves the board");
            board[cellIndex(column, row)] = cellFromChar(rows[r][i]);
        }
    return board;
}

// The strings are the board's lowest rows: the last string is row 17.
inline Board boardFromBottomRows(const std::vector<std::string_view>& rows)
{
    return boardAt(0, BoardRows - static_cast<int>(rows.size()), rows);
}

inline std::string rowText(const Board& board, int row)
{
    std::string text;
    for (int column = 0; column < BoardColumns; ++column)
        text += charFromCell(board[cellIndex(column, row)]);
    return text;
}

// All 18 rows, for readable failures.
inline std::string boardText(const Board& board)
{
    std::string text = "\n";
    for (int row = 0; row < BoardRows; ++row)
        text += rowText(board, row) + '\n';
    return text;
}

}  // namespace testing_support
