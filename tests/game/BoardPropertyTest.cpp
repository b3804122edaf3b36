#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>
#include <vector>

#include "BareGame.h"
#include "BoardText.h"

using testing_support::BareGame;
using testing_support::boardText;

namespace {

constexpr int BoardsPerProperty = 300;
constexpr uint32_t FirstSeed = 20240601;

// Random boards of every density with one to seven colours. Whole columns are emptied often,
// as only they make collapse move columns.
Board randomBoard(std::mt19937& rng)
{
    const uint32_t colours = 1 + rng() % 7;
    const uint32_t emptyPercent = rng() % 80;
    const uint32_t emptyColumnPercent = rng() % 60;
    Board board{};
    for (int c = 0; c < BoardColumns; ++c) {
        const bool emptyColumn = rng() % 100 < emptyColumnPercent;
        for (int r = 0; r < BoardRows; ++r)
            board[cellIndex(c, r)] = emptyColumn || rng() % 100 < emptyPercent ? 0 : uint16_t(1 + rng() % colours);
    }
    return board;
}

// The cells of the group of this colour that holds (column, row), found by a plain flood fill.
std::set<int> groupOf(const Board& board, int column, int row, uint16_t colour, std::set<int> group = {})
{
    if (colour == 0 || column < 0 || column >= BoardColumns || row < 0 || row >= BoardRows ||
        board[cellIndex(column, row)] != colour || !group.insert(cellIndex(column, row)).second)
        return group;
    for (const auto& [c, r] : {std::pair{column - 1, row}, {column + 1, row}, {column, row - 1}, {column, row + 1}})
        group = groupOf(board, c, r, colour, std::move(group));
    return group;
}

// Where collapse must leave the tiles: each non-empty column, in its old order, stands beside
// the others around the gravity column (those from its left, it included, end on it; with none
// there those from the right start on it). Its tiles keep their order in one run whose part
// from at or above the gravity row ends on that row; with none there, the run starts on it.
Board collapsedByTheRules(const Board& board, int gravityRow, int gravityColumn)
{
    std::vector<std::vector<uint16_t>> columns;
    std::vector<int> tilesAbove;
    int fromLeft = 0;
    for (int c = 0; c < BoardColumns; ++c) {
        std::vector<uint16_t> tiles;
        int above = 0;
        for (int r = 0; r < BoardRows; ++r)
            if (const uint16_t v = board[cellIndex(c, r)]; v != 0) {
                tiles.push_back(v);
                above += r <= gravityRow;
            }
        if (tiles.empty())
            continue;
        columns.push_back(tiles);
        tilesAbove.push_back(above);
        fromLeft += c <= gravityColumn;
    }
    Board expected{};
    const int firstColumn = fromLeft > 0 ? gravityColumn - fromLeft + 1 : gravityColumn;
    for (size_t i = 0; i < columns.size(); ++i) {
        const int firstRow = tilesAbove[i] > 0 ? gravityRow - tilesAbove[i] + 1 : gravityRow;
        for (size_t k = 0; k < columns[i].size(); ++k)
            expected[cellIndex(firstColumn + int(i), firstRow + int(k))] = columns[i][k];
    }
    return expected;
}

}  // namespace

TEST(BoardProperties, CollapseKeepsEveryTileAndGathersColumnsAroundTheGravityPoint)
{
    for (uint32_t seed = FirstSeed; seed < FirstSeed + BoardsPerProperty; ++seed) {
        std::mt19937 rng(seed);
        BareGame game;
        game.board = randomBoard(rng);
        const Board before = game.board;
        game.gravityRow = int16_t(rng() % BoardRows);
        game.gravityColumn = int16_t(rng() % BoardColumns);
        game.collapse();
        ASSERT_EQ(boardText(game.board), boardText(collapsedByTheRules(before, game.gravityRow, game.gravityColumn)))
            << "seed " << seed << ", gravity row " << game.gravityRow << ", column " << game.gravityColumn
            << ", before:" << boardText(before);
    }
}

TEST(BoardProperties, CountMovesCountsTheTilesOfAllGroupsOfTwoOrMore)
{
    for (uint32_t seed = FirstSeed; seed < FirstSeed + BoardsPerProperty; ++seed) {
        std::mt19937 rng(seed);
        BareGame game;
        game.board = randomBoard(rng);
        std::set<int> seen;
        int32_t expected = 0;
        for (int i = 0; i < BoardCells; ++i)
            if (!seen.count(i)) {
                const std::set<int> group = groupOf(game.board, i / BoardRows, i % BoardRows, game.board[i]);
                seen.insert(group.begin(), group.end());
                expected += group.size() >= 2 ? int32_t(group.size()) : 0;
            }
        ASSERT_EQ(game.countMoves(), expected) << "seed " << seed << boardText(game.board);
    }
}

TEST(BoardProperties, RemoveGroupClearsExactlyAGroupOfTwoOrMoreAndLeavesALoneTile)
{
    for (uint32_t seed = FirstSeed; seed < FirstSeed + BoardsPerProperty; ++seed) {
        std::mt19937 rng(seed);
        BareGame game;
        game.board = randomBoard(rng);
        const Board before = game.board;
        const auto column = int16_t(rng() % BoardColumns);
        const auto row = int16_t(rng() % BoardRows);
        const std::set<int> group = groupOf(before, column, row, before[cellIndex(column, row)]);
        Board expected = before;
        if (group.size() >= 2)
            for (int cell : group)
                expected[cell] = 0;

        const int32_t removed = game.removeGroup(column, row, game.cell(column, row), true);

        ASSERT_EQ(removed, group.size() >= 2 ? int32_t(group.size()) - 1 : 0)
            << "seed " << seed << ", column " << column << ", row " << row << boardText(before);
        ASSERT_EQ(boardText(game.board), boardText(expected)) << "seed " << seed << ", column " << column << ", row " << row;
    }
}
