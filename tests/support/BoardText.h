#pragma once
// Boards written as they appear on screen, for the tests of the board rules and of the variants.
// Header-only, so that any test binary can use it without a library of its own.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "game/Game.h"

namespace testing_support {

// '.' is empty, '1'..'7' are colours, 'x' stands for 8 (a value without a tile).
inline uint16_t cellFromChar(char ch)
{
    if (ch == '.')
        return 0;
    if (ch >= '1' && ch <= '7')
        return static_cast<uint16_t>(ch - '0');
    if (ch == 'x')
        return 8;
    throw std::invalid_argument(std::string("no cell is written as ") + ch);
}

inline char charFromCell(uint16_t value)
{
    if (value == 0)
        return '.';
    if (value <= 7)
        return static_cast<char>('0' + value);
    return value == 8 ? 'x' : '?';
}

// One string per row. The first character of the first string lands on (leftColumn, topRow);
// everything outside the strings stays empty.
inline Board boardAt(int leftColumn, int topRow, const std::vector<std::string_view>& rows)
{
    Board board{};
    int row = topRow;
    for (std::string_view text : rows) {
        for (size_t i = 0; i < text.size(); ++i) {
            const int column = leftColumn + static_cast<int>(i);
            if (column >= BoardColumns || row < 0 || row >= BoardRows)
                throw std::out_of_range("test board leaves the board");
            board[cellIndex(column, row)] = cellFromChar(text[i]);
        }
        ++row;
    }
    return board;
}

// The strings are the board's lowest rows: the last string is row 17.
inline Board boardFromBottomRows(const std::vector<std::string_view>& rows)
{
    return boardAt(0, BoardRows - static_cast<int>(rows.size()), rows);
}

// One row of the board as 25 characters in the notation above.
inline std::string rowText(const Board& board, int row)
{
    std::string text;
    for (int column = 0; column < BoardColumns; ++column)
        text += charFromCell(board[cellIndex(column, row)]);
    return text;
}

// The whole board as 18 such lines, for readable failures.
inline std::string boardText(const Board& board)
{
    std::string text = "\n";
    for (int row = 0; row < BoardRows; ++row)
        text += rowText(board, row) + '\n';
    return text;
}

}  // namespace testing_support
