#include "BoardText.h"

#include <stdexcept>

namespace testing_support {

namespace {

uint16_t cellFromChar(char ch)
{
    if (ch == '.')
        return 0;
    if (ch >= '1' && ch <= '7')
        return static_cast<uint16_t>(ch - '0');
    if (ch == 'x')
        return 8;
    throw std::invalid_argument(std::string("no cell is written as ") + ch);
}

char charFromCell(uint16_t value)
{
    if (value == 0)
        return '.';
    if (value <= 7)
        return static_cast<char>('0' + value);
    return value == 8 ? 'x' : '?';
}

}  // namespace

Board boardAt(int leftColumn, int topRow, std::initializer_list<std::string_view> rows)
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

Board boardFromBottomRows(std::initializer_list<std::string_view> rows)
{
    return boardAt(0, BoardRows - static_cast<int>(rows.size()), rows);
}

std::string boardText(const Board& board)
{
    std::string text = "\n";
    for (int r = 0; r < BoardRows; ++r) {
        for (int c = 0; c < BoardColumns; ++c)
            text += charFromCell(board[cellIndex(c, r)]);
        text += '\n';
    }
    return text;
}

}  // namespace testing_support
