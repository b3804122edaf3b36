#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <tuple>

#include "BoardText.h"
#include "game/rules/Board.h"

using namespace testing_support;

namespace {

// Whole columns are emptied often, as only they make collapse move columns.
Board randomBoard(std::mt19937& rng)
{
    const auto colours = 1 + rng() % 7, emptyPercent = rng() % 80, emptyColumnPercent = rng() % 60;
    Board board{};
    for (int c = 0; c < BoardColumns; ++c) {
        const bool emptyColumn = rng() % 100 < emptyColumnPercent;
        for (int r = 0; r < BoardRows; ++r)
            board[cellIndex(c, r)] = uint16_t(emptyColumn || rng() % 100 < emptyPercent ? 0 : 1 + rng() % colours);
    }
    return board;
}

// The group that holds the cell, by a plain flood fill; none for an empty cell.
std::set<int> groupAt(const Board& board, int cell)
{
    std::set<int> group;
    for (std::vector<std::pair<int, int>> open{{cell / BoardRows, cell % BoardRows}}; !open.empty();) {
        const auto [column, row] = open.back();
        open.pop_back();
        if (column < 0 || column >= BoardColumns || row < 0 || row >= BoardRows || board[cell] == 0 ||
            board[cellIndex(column, row)] != board[cell] || !group.insert(cellIndex(column, row)).second)
            continue;
        open.insert(open.end(), {{column - 1, row}, {column + 1, row}, {column, row - 1}, {column, row + 1}});
    }
    return group;
}

// Non-empty columns keep their order side by side, those from the gravity column's left ending on it
// (else starting on it); in each, one run of the tiles in order, likewise around the gravity row.
Board collapsedByTheRules(const Board& board, int gravityRow, int gravityColumn)
{
    std::vector<std::pair<std::vector<uint16_t>, int>> columns;  // tiles, and how many at or above the gravity row
    int fromLeft = 0;
    for (int c = 0; c < BoardColumns; ++c) {
        std::pair<std::vector<uint16_t>, int> column;
        for (int r = 0; r < BoardRows; ++r)
            if (const uint16_t v = board[cellIndex(c, r)]; v != 0) {
                column.first.push_back(v);
                column.second += r <= gravityRow;
            }
        if (!column.first.empty()) {
            columns.push_back(column);
            fromLeft += c <= gravityColumn;
        }
    }
    Board expected{};
    for (int i = 0, c = fromLeft > 0 ? gravityColumn - fromLeft + 1 : gravityColumn; i < int(columns.size()); ++i, ++c) {
        const auto& [tiles, above] = columns[i];
        for (int k = 0, r = above > 0 ? gravityRow - above + 1 : gravityRow; k < int(tiles.size()); ++k, ++r)
            expected[cellIndex(c, r)] = tiles[k];
    }
    return expected;
}

// The model moves tiles but never drops one, so every colour is conserved.
void expectTheRulesHold(const Board& board, int column, int row, int gravityRow, int gravityColumn)
{
    Board game = board;
    int32_t moves = 0;
    for (int i = 0; i < BoardCells; ++i)
        moves += groupAt(board, i).size() >= 2;
    EXPECT_EQ(countMoves(game), moves) << boardText(board);

    const std::set<int> group = groupAt(board, cellIndex(column, row));
    Board removed = board;
    for (int cell : group)
        removed[cell] = group.size() >= 2 ? 0 : removed[cell];
    EXPECT_EQ(removeGroup(game, int16_t(column), int16_t(row), game.at(column, row)),
              group.size() >= 2 ? int32_t(group.size()) - 1 : 0);
    ASSERT_EQ(boardText(game), boardText(removed)) << column << ", " << row;

    collapse(game, {Gravity{int16_t(gravityRow), int16_t(gravityColumn)}});
    EXPECT_EQ(boardText(game), boardText(collapsedByTheRules(removed, gravityRow, gravityColumn)))
        << "gravity " << gravityRow << ", " << gravityColumn << boardText(removed);
}

}  // namespace

TEST(BoardRules, CraftedBoardsFollowTheRules)
{
    Board storageNeighbours{};  // (3, 17) and (4, 0): next to each other in storage only
    storageNeighbours.at(3, 17) = storageNeighbours.at(4, 0) = 5;
    const std::tuple<const char*, Board, int, int, int, int> cases[] = {  // what, board, click, gravity row and column
        {"lone tile", boardFromBottomRows({"1.23", "2132"}), 1, 17, 17, 0},
        {"empty cell", boardFromBottomRows({"1.23", "2112"}), 1, 16, 17, 0},
        {"2 x 2 block", boardFromBottomRows({".44", "144", "211"}), 1, 16, 17, 0},
        {"group along the bottom right edge", boardAt(20, 15, {"2...5", "1...5", "32555"}), 24, 17, 17, 0},
        {"storage neighbours", storageNeighbours, 3, 17, 17, 0},
        {"a cleared column closes", boardFromBottomRows({"..2.3.", "112.34"}), 0, 17, 17, 0},
        {"gravity in the middle", boardAt(2, 5, {"........1......", "............2..", ".........3.....", "", "..........4....",
                                                 "7.......4.5....", "............6.....1"}), 10, 10, 8, 12},
        {"an empty gravity column refilled from the left", boardFromBottomRows({".....1.........2..3"}), 0, 0, 17, 12},
        {"and from the right", boardFromBottomRows({"...............2..3"}), 0, 0, 17, 12},
    };
    for (const auto& [what, board, column, row, gravityRow, gravityColumn] : cases) {
        SCOPED_TRACE(what);
        expectTheRulesHold(board, column, row, gravityRow, gravityColumn);
    }
}

TEST(BoardRules, RandomBoardsAndGravityPointsFollowTheRules)
{
    for (uint32_t seed = 20240601; seed < 20240601 + 400 && !testing::Test::HasFailure(); ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        const Board board = randomBoard(rng);
        const int column = int(rng() % BoardColumns), row = int(rng() % BoardRows);
        expectTheRulesHold(board, column, row, int(rng() % BoardRows), int(rng() % BoardColumns));
    }
}

// Only the low 16 bits of a pixel count, as signed numbers; -1 / 32 is 0, yet left of the window.
TEST(BoardRules, APixelIsOnTheBoardOnlyInsideItsTopEightHundredByFiveHundredSeventySix)
{
    const std::tuple<int32_t, int32_t, int, int, bool> cases[] = {
        {0, 0, 0, 0, true}, {799, 575, 24, 17, true}, {65536 + 40, 70, 1, 2, true},
        {0, 576, 0, 18, false}, {800, 0, 25, 0, false}, {-1, 100, 0, 3, false}, {100, -1, 3, 0, false},
    };
    for (const auto& [x, y, column, row, on] : cases) {
        const CellAtPixel at = cellAtPixel(x, y);
        EXPECT_EQ(std::make_tuple(int(at.cell.column), int(at.cell.row), at.onBoard), std::make_tuple(column, row, on))
            << x << ", " << y;
    }
}
