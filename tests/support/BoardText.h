#pragma once
// Boards written as they appear on screen: '.' is empty, '1'..'7' are colours.
#include <string>
#include <string_view>
#include <vector>

#include "game/rules/Board.h"

namespace testing_support {

inline uint16_t cellFromChar(char ch) { return ch == '.' ? 0 : static_cast<uint16_t>(ch - '0'); }

// One string per row; the first character of the first string lands on (leftColumn, topRow).
inline Board boardAt(int leftColumn, int topRow, const std::vector<std::string_view>& rows)
{
    Board board{};
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t i = 0; i < rows[r].size(); ++i)
            board.at(leftColumn + int(i), topRow + int(r)) = cellFromChar(rows[r][i]);
    return board;
}

inline Board boardFromBottomRows(const std::vector<std::string_view>& rows)  // the last string is row 17
{
    return boardAt(0, BoardRows - static_cast<int>(rows.size()), rows);
}

inline std::string boardText(const Board& board)  // all rows, for readable failures
{
    std::string text = "\n";
    for (int row = 0; row < BoardRows; ++row) {
        for (int column = 0; column < BoardColumns; ++column)
            text += board.at(column, row) > 7 ? '?' : ".1234567"[board.at(column, row)];
        text += '\n';
    }
    return text;
}

}  // namespace testing_support
