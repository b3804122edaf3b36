#include <gtest/gtest.h>

#include "BareGame.h"
#include "BoardText.h"

using testing_support::BareGame;
using testing_support::boardAt;
using testing_support::boardFromBottomRows;
using testing_support::boardText;

namespace {

// (3, 17) and (4, 0): neighbours in storage, far apart on screen.
Board storageNeighbours()
{
    Board board{};
    board[cellIndex(3, 17)] = 5;
    board[cellIndex(4, 0)] = 5;
    return board;
}

}  // namespace

TEST(RemoveGroup, ClearsTheWholeGroupOfTwoOrMoreAndReturnsItsSizeMinusOne)
{
    const struct {
        const char* what;
        Board board;
        int column, row;
        int32_t result;
        Board after;
    } cases[] = {
        {"lone tile", boardFromBottomRows({"1.23", "2132"}), 1, 17, 0, boardFromBottomRows({"1.23", "2132"})},
        {"empty cell", boardFromBottomRows({"1.23", "2112"}), 1, 16, 0, boardFromBottomRows({"1.23", "2112"})},
        {"2 x 2 block", boardFromBottomRows({".44", "144", "211"}), 1, 16, 3, boardFromBottomRows({"...", "1..", "211"})},
        {"bottom right corner", boardAt(20, 15, {"2...5", "1...5", "32555"}), 24, 17, 4,
         boardAt(20, 15, {"2....", "1....", "32..."})},
        {"top left corner", boardAt(0, 0, {"666.", "6.16", "1"}), 0, 0, 3, boardAt(0, 0, {"....", "..16", "1"})},
        {"bottom of a column and top of the next", storageNeighbours(), 3, 17, 0, storageNeighbours()},
    };
    for (const auto& c : cases) {
        BareGame game;
        game.board = c.board;
        EXPECT_EQ(game.removeGroup(int16_t(c.column), int16_t(c.row), game.cell(c.column, c.row), true), c.result)
            << c.what;
        EXPECT_EQ(boardText(game.board), boardText(c.after)) << c.what;
    }
}

TEST(RemoveGroup, CellOffTheBoardRemovesNothingAndReadsNoNeighbour)
{
    BareGame game;
    for (int r = 0; r < BoardRows; ++r)
        game.cell(0, r) = game.cell(24, r) = 2;
    const Board board = game.board;
    const int16_t offBoard[][2] = {{25, 0}, {-1, 3}, {0, 18}, {24, -1}, {-32768, 32767}};
    for (const auto& [column, row] : offBoard) {
        EXPECT_EQ(game.removeGroup(column, row, 2, true), 0) << column << ", " << row;
        EXPECT_EQ(boardText(game.board), boardText(board)) << column << ", " << row;
    }
}

TEST(Collapse, GathersTilesOnTheGravityRowAndColumnsAroundTheGravityColumn)
{
    const struct {
        const char* what;
        Board board;
        int gravityRow, gravityColumn;
        Board after;
    } cases[] = {
        {"tiles fall so that no gap is left below them", boardFromBottomRows({"1.2.", ".3..", "4.5.", ".6.7"}), 17, 0,
         boardFromBottomRows({"132.", "4657"})},
        {"an empty column pulls the columns on its right to the left", boardFromBottomRows({"..2.3.", ".12.34"}), 17, 0,
         boardFromBottomRows({".23.", "1234"})},
        // Rows 5 to 11 around gravity row 8 and column 12: from above, from below and from both sides.
        {"gravity in the middle",
         boardAt(0, 5, {"..........1..............",
                        "..............2..........",
                        "...........3.............",
                        ".........................",
                        "............4............",
                        "..7.......4.5............",
                        "..............6.....1...."}),
         8, 12, boardAt(9, 8, {"713421", ".4.56."})},
        {"gravity at the top right", boardFromBottomRows({"1..2", "3.45"}), 0, 24, boardAt(22, 0, {"142", "3.5"})},
        {"an empty gravity column is refilled from the left", boardFromBottomRows({".....1.........2..3"}), 17, 12,
         boardFromBottomRows({"............123"})},
        {"and from the right only when the left is empty", boardFromBottomRows({"...............2..3"}), 17, 12,
         boardFromBottomRows({"............23"})},
    };
    for (const auto& c : cases) {
        BareGame game;
        game.board = c.board;
        game.gravityRow = int16_t(c.gravityRow);
        game.gravityColumn = int16_t(c.gravityColumn);
        game.collapse();
        EXPECT_EQ(boardText(game.board), boardText(c.after)) << c.what;
    }
}

TEST(Collapse, GravityPointOffTheBoardLeavesTheBoardAlone)
{
    const Board board = boardFromBottomRows({"1.2", "..3"});
    const int points[][2] = {{18, 0}, {-1, 0}, {17, 25}, {0, -1}};
    for (const auto& [row, column] : points) {
        BareGame game;
        game.board = board;
        game.gravityRow = int16_t(row);
        game.gravityColumn = int16_t(column);
        game.collapse();
        EXPECT_EQ(boardText(game.board), boardText(board)) << row << ", " << column;
    }
}
