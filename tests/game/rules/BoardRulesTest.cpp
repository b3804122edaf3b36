// The board's rules against a plain model on random boards (fixed seeds): a click's group, how
// the board settles toward any point of gravity; the pixels.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "BoardText.h"
#include "game/rules/Board.h"

using namespace testing_support;

namespace {

using Group = std::set<std::pair<int, int>>;

// Adds the cells joined to (column, row) through neighbours of its colour: a plain flood fill.
void addGroup(const Board& board, int column, int row, Group& group)
{
    if (!group.insert({column, row}).second)
        return;
    for (const auto& [c, r] : Group{{column - 1, row}, {column + 1, row}, {column, row - 1}, {column, row + 1}})
        if (onBoard(c, r) && board.at(c, r) == board.at(column, row))
            addGroup(board, c, r, group);
}

// A lone tile or an empty cell is no group.
Group groupAt(const Board& board, int column, int row)
{
    Group group;
    if (board.at(column, row) != 0)
        addGroup(board, column, row, group);
    return group.size() >= 2 ? group : Group{};
}

// In each column the tiles keep their order in one run around the gravity row, those at or above it
// ending on it. The columns with a tile in the gravity row then stand side by side, those from the
// gravity column's left ending on it (else starting on it). A kept feeder row (top) never moves sideways.
Board settledByTheRules(const Board& board, Gravity gravity, bool keepsFeederRow)
{
    const int gr = gravity.row;
    const int gc = gravity.column;
    // The settled columns with a tile in the gravity row.
    std::vector<std::vector<uint16_t>> columns;
    Board expected{};
    int fromLeft = 0;
    for (int c = 0; c < BoardColumns; ++c) {
        std::vector<uint16_t> column(BoardRows);
        int above = 0;
        int k = 0;
        for (int r = 0; r < BoardRows; ++r)
            above += board.at(c, r) != 0 && r <= gr;
        for (int r = 0; r < BoardRows; ++r)
            if (board.at(c, r) != 0)
                column[std::min(gr, gr + 1 - above) + k++] = board.at(c, r);
        expected.at(c, 0) = keepsFeederRow ? column[0] : 0;
        if (column[gr] != 0) {
            columns.push_back(column);
            fromLeft += c <= gc;
        }
    }
    for (int i = 0; i < int(columns.size()); ++i)
        for (int r = keepsFeederRow; r < BoardRows; ++r)
            expected.at(std::min(gc, gc + 1 - fromLeft) + i, r) = columns[i][r];
    return expected;
}

}  // namespace

// Whole columns are emptied often, as only they make columns move.
TEST(BoardRules, RandomBoardsFollowThePlainModel)
{
    for (uint32_t seed = 1; seed <= 500 && !HasFailure(); ++seed) {
        std::mt19937 rng(seed);
        const auto colours = 1 + rng() % 7;
        const auto emptyPercent = rng() % 80;
        const auto emptyColumns = rng() % 60;
        Board board{};
        for (int c = 0; c < BoardColumns; ++c) {
            const bool emptyColumn = rng() % 100 < emptyColumns;
            for (int r = 0; r < BoardRows; ++r)
                board.at(c, r) = uint16_t(emptyColumn || rng() % 100 < emptyPercent ? 0 : 1 + rng() % colours);
        }
        const int column = int(rng() % BoardColumns);
        const int row = int(rng() % BoardRows);
        const Group group = groupAt(board, column, row);
        Board removed{};
        for (int c = 0; c < BoardColumns; ++c)
            for (int r = 0; r < BoardRows; ++r)
                removed.at(c, r) = group.count({c, r}) ? 0 : board.at(c, r);
        EXPECT_EQ(removeGroup(board, int16_t(column), int16_t(row), board.at(column, row)),
                  std::max(int(group.size()) - 1, 0));
        ASSERT_EQ(boardText(board), boardText(removed));

        const bool feeder = rng() % 2;
        const Gravity gravity{int16_t(feeder ? LastRow : rng() % BoardRows), int16_t(rng() % BoardColumns)};
        collapse(board, {gravity, feeder});
        EXPECT_EQ(boardText(board), boardText(settledByTheRules(removed, gravity, feeder)));
    }
}

// The board covers 800 by 576 pixels. Only the low 16 bits of a pixel count, as signed numbers; -1 / 32 is
// 0, yet left of the window.
TEST(BoardRules, APixelIsOnTheBoardOnlyInsideIt)
{
    for (int x : {-1, 0, 799, 800})
        for (int y : {-1, 0, 575, 576})
            EXPECT_EQ(cellAtPixel(x - 65536, y).onBoard, x >= 0 && x < 800 && y >= 0 && y < 576);
}
