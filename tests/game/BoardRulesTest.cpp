#include <gtest/gtest.h>

#include "BareGame.h"
#include "BoardText.h"

using testing_support::BareGame;
using testing_support::boardAt;
using testing_support::boardFromBottomRows;
using testing_support::boardText;

namespace {

struct Removal {
    int32_t result;
    Board board;
};

Removal clickAt(Board board, int column, int row)
{
    BareGame game;
    game.board = board;
    const int32_t result = game.removeGroup(static_cast<int16_t>(column), static_cast<int16_t>(row),
                                            game.cell(column, row), true);
    return {result, game.board};
}

Board collapsed(Board board, int gravityRow, int gravityColumn)
{
    BareGame game;
    game.board = board;
    game.gravityRow = static_cast<int16_t>(gravityRow);
    game.gravityColumn = static_cast<int16_t>(gravityColumn);
    game.collapse();
    return game.board;
}

int32_t movesOn(Board board)
{
    BareGame game;
    game.board = board;
    return game.countMoves();
}

}  // namespace

TEST(RemoveGroup, LoneTileStaysAndCountsNothing)
{
    const Board board = boardFromBottomRows({
        "1.23",
        "2132",
    });
    const Removal removal = clickAt(board, 1, 17);
    EXPECT_EQ(removal.result, 0);
    EXPECT_EQ(boardText(removal.board), boardText(board));
}

TEST(RemoveGroup, EmptyCellRemovesNothing)
{
    const Board board = boardFromBottomRows({
        "1.23",
        "2112",
    });
    const Removal removal = clickAt(board, 1, 16);
    EXPECT_EQ(removal.result, 0);
    EXPECT_EQ(boardText(removal.board), boardText(board));
}

TEST(RemoveGroup, HorizontalPairClearsBothCellsAndCountsOne)
{
    const Removal removal = clickAt(boardFromBottomRows({"3113", "2..2"}), 2, 16);
    EXPECT_EQ(removal.result, 1);
    EXPECT_EQ(boardText(removal.board), boardText(boardFromBottomRows({"3..3", "2..2"})));
}

TEST(RemoveGroup, TwoByTwoBlockCountsThree)
{
    const Removal removal = clickAt(boardFromBottomRows({".44", "144", "211"}), 1, 16);
    EXPECT_EQ(removal.result, 3);
    EXPECT_EQ(boardText(removal.board), boardText(boardFromBottomRows({"...", "1..", "211"})));
}

TEST(RemoveGroup, GroupInTheBottomRightCornerIsFoundThroughTheBoardAlone)
{
    const Removal removal = clickAt(boardAt(20, 15, {"2...5", "1...5", "32555"}), 24, 17);
    EXPECT_EQ(removal.result, 4);
    EXPECT_EQ(boardText(removal.board), boardText(boardAt(20, 15, {"2....", "1....", "32..."})));
}

TEST(RemoveGroup, GroupInTheTopLeftCornerIsFoundThroughTheBoardAlone)
{
    const Removal removal = clickAt(boardAt(0, 0, {"666.", "6.16", "1"}), 0, 0);
    EXPECT_EQ(removal.result, 3);
    EXPECT_EQ(boardText(removal.board), boardText(boardAt(0, 0, {"....", "..16", "1"})));
}

TEST(RemoveGroup, BottomOfOneColumnAndTopOfTheNextAreNoNeighbours)
{
    // Adjacent in storage, far apart on screen.
    Board board{};
    board[cellIndex(3, 17)] = 5;
    board[cellIndex(4, 0)] = 5;
    const Removal removal = clickAt(board, 3, 17);
    EXPECT_EQ(removal.result, 0);
    EXPECT_EQ(boardText(removal.board), boardText(board));
}

TEST(RemoveGroup, WindingGroupIsClearedWithoutCountingATileTwice)
{
    const Board board = boardFromBottomRows({
        "2222.",
        "2.122",
        "222.2",
    });
    const Removal removal = clickAt(board, 2, 17);
    EXPECT_EQ(removal.result, 10);
    EXPECT_EQ(boardText(removal.board), boardText(boardFromBottomRows({"....", "..1", ""})));
}

TEST(RemoveGroup, CellOffTheBoardRemovesNothing)
{
    // Its neighbours would lie outside the 450 cells, or wrap into another column.
    Board board{};
    for (int r = 0; r < BoardRows; ++r) {
        board[cellIndex(0, r)] = 2;
        board[cellIndex(24, r)] = 2;
    }
    const int16_t offBoard[][2] = {{25, 0}, {-1, 3}, {0, 18}, {24, -1}, {-32768, 32767}};
    for (const auto& [column, row] : offBoard) {
        BareGame game;
        game.board = board;
        EXPECT_EQ(game.removeGroup(column, row, 2, true), 0) << column << ", " << row;
        EXPECT_EQ(boardText(game.board), boardText(board)) << column << ", " << row;
    }
}

TEST(CountMoves, CountsEveryTileOfARemovableGroupNotTheGroups)
{
    struct Case {
        const char* what;
        Board board;
        int32_t moves;
    };
    const Case cases[] = {
        {"empty board", Board{}, 0},
        {"no equal neighbours", boardFromBottomRows({"1212", "2121", "3434"}), 0},
        {"one vertical pair", boardFromBottomRows({"1232", "2142", "3434"}), 2},
        {"a group of five and a pair", boardFromBottomRows({"1..66", "1113", "2125"}), 7},
        {"a pair in the top right corner", boardAt(22, 0, {"132", "..2"}), 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(movesOn(c.board), c.moves) << c.what;
}

TEST(CountMoves, BottomOfOneColumnAndTopOfTheNextAreNoPair)
{
    Board board{};
    board[cellIndex(3, 17)] = 5;
    board[cellIndex(4, 0)] = 5;
    EXPECT_EQ(movesOn(board), 0);
}

TEST(Collapse, TilesFallSoThatNoGapIsLeftBelowThem)
{
    const Board board = boardFromBottomRows({
        "1.2.",
        ".3..",
        "4.5.",
        ".6.7",
    });
    EXPECT_EQ(boardText(collapsed(board, 17, 0)), boardText(boardFromBottomRows({"132.", "4657"})));
}

TEST(Collapse, EmptyColumnPullsTheColumnsOnItsRightToTheLeft)
{
    const Board board = boardFromBottomRows({
        "..2.3.",
        ".12.34",
    });
    EXPECT_EQ(boardText(collapsed(board, 17, 0)), boardText(boardFromBottomRows({".23.", "1234"})));
}

TEST(Collapse, GravityInTheMiddleGathersTilesAroundItsRowAndColumnsFromBothSides)
{
    // Rows 5 to 11; the ruler gives the column.
    //                                  0         1         2
    //                                  0123456789012345678901234
    const Board board = boardAt(0, 5, {"..........1..............",
                                       "..............2..........",
                                       "...........3.............",
                                       ".........................",
                                       "............4............",
                                       "..7.......4.5............",
                                       "..............6.....1...."});
    // Row 8 is the gravity row, column 12 the gravity column.
    const Board expected = boardAt(9, 8, {"713421", ".4.56."});
    EXPECT_EQ(boardText(collapsed(board, 8, 12)), boardText(expected));
}

TEST(Collapse, GravityAtTheTopRightRaisesTilesAndClosesColumnsToTheRight)
{
    const Board board = boardFromBottomRows({
        "1..2",
        "3.45",
    });
    EXPECT_EQ(boardText(collapsed(board, 0, 24)), boardText(boardAt(22, 0, {"142", "3.5"})));
}

TEST(Collapse, EmptyGravityColumnIsRefilledFromTheLeftWhenTheLeftHasTiles)
{
    const Board board = boardFromBottomRows({".....1.........2..3"});
    EXPECT_EQ(boardText(collapsed(board, 17, 12)), boardText(boardFromBottomRows({"............123"})));
}

TEST(Collapse, EmptyGravityColumnIsRefilledFromTheRightOnlyWhenTheLeftIsEmpty)
{
    const Board board = boardFromBottomRows({"...............2..3"});
    EXPECT_EQ(boardText(collapsed(board, 17, 12)), boardText(boardFromBottomRows({"............23"})));
}

TEST(Collapse, FullColumnAndEmptyBoardStayAsTheyAre)
{
    Board full{};
    for (int r = 0; r < BoardRows; ++r)
        full[cellIndex(0, r)] = static_cast<uint16_t>(1 + r % 7);
    EXPECT_EQ(boardText(collapsed(full, 9, 0)), boardText(full));
    EXPECT_EQ(boardText(collapsed(Board{}, 4, 20)), boardText(Board{}));
}

TEST(Collapse, GravityPointOffTheBoardLeavesTheBoardAlone)
{
    const Board board = boardFromBottomRows({"1.2", "..3"});
    const int points[][2] = {{18, 0}, {-1, 0}, {17, 25}, {0, -1}};
    for (const auto& [row, column] : points)
        EXPECT_EQ(boardText(collapsed(board, row, column)), boardText(board)) << row << ", " << column;
}
