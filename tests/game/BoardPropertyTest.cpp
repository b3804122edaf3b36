#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

#include "BareGame.h"
#include "BoardText.h"

using testing_support::BareGame;
using testing_support::boardText;

namespace {

constexpr int BoardsPerProperty = 1500;
constexpr uint32_t FirstSeed = 20240601;

// Random boards of every density, with one to seven colours.
Board randomBoard(std::mt19937& rng)
{
    const int colours = 1 + static_cast<int>(rng() % 7);
    const int emptyPercent = static_cast<int>(rng() % 80);
    Board board{};
    for (auto& value : board)
        value = static_cast<int>(rng() % 100) < emptyPercent ? 0 : static_cast<uint16_t>(1 + rng() % colours);
    return board;
}

// The cells of the group that holds (column, row), found by a plain flood fill.
std::vector<int> groupOf(const Board& board, int column, int row)
{
    const uint16_t colour = board[cellIndex(column, row)];
    std::vector<int> group;
    if (colour == 0)
        return group;
    std::array<bool, BoardCells> seen{};
    std::vector<std::pair<int, int>> pending{{column, row}};
    seen[cellIndex(column, row)] = true;
    while (!pending.empty()) {
        const auto [c, r] = pending.back();
        pending.pop_back();
        group.push_back(cellIndex(c, r));
        const std::pair<int, int> neighbours[] = {{c - 1, r}, {c + 1, r}, {c, r - 1}, {c, r + 1}};
        for (const auto& [nc, nr] : neighbours) {
            if (nc < 0 || nc >= BoardColumns || nr < 0 || nr >= BoardRows)
                continue;
            const int i = cellIndex(nc, nr);
            if (!seen[i] && board[i] == colour) {
                seen[i] = true;
                pending.push_back({nc, nr});
            }
        }
    }
    return group;
}

std::array<int, 8> colourCounts(const Board& board)
{
    std::array<int, 8> counts{};
    for (uint16_t value : board)
        ++counts[value];
    return counts;
}

std::vector<uint16_t> tilesOfColumn(const Board& board, int column)
{
    std::vector<uint16_t> tiles;
    for (int r = 0; r < BoardRows; ++r)
        if (board[cellIndex(column, r)] != 0)
            tiles.push_back(board[cellIndex(column, r)]);
    return tiles;
}

std::vector<std::vector<uint16_t>> nonEmptyColumns(const Board& board)
{
    std::vector<std::vector<uint16_t>> columns;
    for (int c = 0; c < BoardColumns; ++c)
        if (auto tiles = tilesOfColumn(board, c); !tiles.empty())
            columns.push_back(tiles);
    return columns;
}

// Where the tiles of a column settle: those at or above the gravity row end just on and above
// it, those below it right under them; with none above, the ones below start on the row itself.
int firstRowAfterCollapse(const Board& board, int column, int gravityRow)
{
    int above = 0;
    for (int r = 0; r <= gravityRow; ++r)
        above += board[cellIndex(column, r)] != 0;
    return above > 0 ? gravityRow - above + 1 : gravityRow;
}

}  // namespace

TEST(BoardProperties, CollapseKeepsEveryTileAndGathersColumnsAroundTheGravityPoint)
{
    for (int i = 0; i < BoardsPerProperty; ++i) {
        const uint32_t seed = FirstSeed + i;
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        BareGame game;
        game.board = randomBoard(rng);
        const Board before = game.board;
        const int gravityRow = static_cast<int>(rng() % BoardRows);
        const int gravityColumn = static_cast<int>(rng() % BoardColumns);
        game.gravityRow = static_cast<int16_t>(gravityRow);
        game.gravityColumn = static_cast<int16_t>(gravityColumn);
        game.collapse();
        const Board& after = game.board;
        SCOPED_TRACE("gravity row " + std::to_string(gravityRow) + ", column " + std::to_string(gravityColumn) +
                     "\nbefore:" + boardText(before) + "after:" + boardText(after));

        ASSERT_EQ(colourCounts(after), colourCounts(before));
        ASSERT_EQ(nonEmptyColumns(after), nonEmptyColumns(before)) << "columns lost their tiles' order";

        // The non-empty columns stand side by side around the gravity column; those from its
        // left (it included) end on it, unless there are none, then those from the right start on it.
        int fromLeft = 0;
        int fromRight = 0;
        for (int c = 0; c < BoardColumns; ++c)
            if (!tilesOfColumn(before, c).empty())
                ++(c <= gravityColumn ? fromLeft : fromRight);
        const int firstColumn = fromLeft > 0 ? gravityColumn - fromLeft + 1 : gravityColumn;
        const int endColumn = firstColumn + fromLeft + fromRight;
        for (int c = 0; c < BoardColumns; ++c)
            ASSERT_EQ(!tilesOfColumn(after, c).empty(), c >= firstColumn && c < endColumn) << "column " << c;

        // Each column is one unbroken run through the gravity row.
        int source = 0;
        for (int c = firstColumn; c < endColumn; ++c, ++source) {
            while (tilesOfColumn(before, source).empty())
                ++source;
            const int firstRow = firstRowAfterCollapse(before, source, gravityRow);
            const int count = static_cast<int>(tilesOfColumn(before, source).size());
            ASSERT_LE(firstRow, gravityRow) << "column " << c;
            ASSERT_GT(firstRow + count, gravityRow) << "column " << c;
            for (int r = 0; r < BoardRows; ++r)
                ASSERT_EQ(after[cellIndex(c, r)] != 0, r >= firstRow && r < firstRow + count)
                    << "column " << c << ", row " << r;
        }
    }
}

TEST(BoardProperties, CountMovesCountsTheTilesOfAllGroupsOfTwoOrMore)
{
    for (int i = 0; i < BoardsPerProperty; ++i) {
        const uint32_t seed = FirstSeed + 100000 + i;
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        BareGame game;
        game.board = randomBoard(rng);
        int expected = 0;
        std::array<bool, BoardCells> counted{};
        for (int c = 0; c < BoardColumns; ++c)
            for (int r = 0; r < BoardRows; ++r) {
                if (counted[cellIndex(c, r)])
                    continue;
                const std::vector<int> group = groupOf(game.board, c, r);
                for (int cell : group)
                    counted[cell] = true;
                if (group.size() >= 2)
                    expected += static_cast<int>(group.size());
            }
        ASSERT_EQ(game.countMoves(), expected) << boardText(game.board);
    }
}

TEST(BoardProperties, RemoveGroupClearsExactlyAGroupOfTwoOrMoreAndLeavesALoneTile)
{
    for (int i = 0; i < BoardsPerProperty; ++i) {
        const uint32_t seed = FirstSeed + 200000 + i;
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        BareGame game;
        game.board = randomBoard(rng);
        const Board before = game.board;
        const auto column = static_cast<int16_t>(rng() % BoardColumns);
        const auto row = static_cast<int16_t>(rng() % BoardRows);
        const std::vector<int> group = groupOf(before, column, row);

        const int32_t removed = game.removeGroup(column, row, game.cell(column, row), true);

        Board expected = before;
        if (group.size() >= 2)
            for (int cell : group)
                expected[cell] = 0;
        ASSERT_EQ(removed, group.size() >= 2 ? static_cast<int32_t>(group.size()) - 1 : 0)
            << "clicked column " << column << ", row " << row << boardText(before);
        ASSERT_EQ(boardText(game.board), boardText(expected)) << "clicked column " << column << ", row " << row;
    }
}
