#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdlib>

#include "BenchWorld.h"
#include "app/Application.h"
#include "app/Clock.h"
#include "game/Game.h"
#include "variants/FallDownGame.h"

namespace {

// How each variant collapses: where its gravity sits, and how few colours its first board has
// (fewer colours make larger groups, so the click removes and moves the most).
struct ClickCase {
    int colours;
    int16_t gravityRow;
    int16_t gravityColumn;
};
constexpr ClickCase StandardCase{2, 17, 0};  // level 1, bottom left
constexpr ClickCase ChaosCase{2, 8, 12};     // two colours, gravity drawn into the middle
constexpr ClickCase SpeedCase{2, 0, 24};     // "Mittel", gravity in the top right corner

// One click's work on a full board, again and again: copy for the animation, remove the largest
// group, let the rest settle and count what is left, with the variant's settle and count.
template <typename AnyGame, typename Settle, typename Count>
void clickRepeatedly(benchmark::State& state, AnyGame& game, const Board& full, Settle settle, Count count)
{
    const BoardCell clicked = largestGroupCell(full);
    for (auto _ : state) {
        game.board = full;
        game.previousBoard = game.board;
        const int32_t removed = game.removeGroup(clicked.column, clicked.row, game.cell(clicked.column, clicked.row), true);
        (game.*settle)();
        benchmark::DoNotOptimize(removed);
        benchmark::DoNotOptimize((game.*count)());
        benchmark::ClobberMemory();
    }
}

// Standard, Chaos and Speed settle toward their point of gravity.
void clickBoardWork(benchmark::State& state, ClickCase click)
{
    BenchGame game;
    game.gravityRow = click.gravityRow;
    game.gravityColumn = click.gravityColumn;
    clickRepeatedly(state, game, fullRandomBoard(click.colours, 12345), &BenchGame::collapse, &BenchGame::countMoves);
}
BENCHMARK_CAPTURE(clickBoardWork, Standard, StandardCase);
BENCHMARK_CAPTURE(clickBoardWork, Chaos, ChaosCase);
BENCHMARK_CAPTURE(clickBoardWork, Speed, SpeedCase);

// FallDown settles below its feeder row: a board dealt from row 3, the feeder half way along
// the top row.
void clickBoardWorkFallDown(benchmark::State& state)
{
    benchApplication();  // the game's highscore file belongs in the benchmark's own Data/
    FallDownGame game;
    Board full = fullRandomBoard(4, 4242);
    for (int c = 0; c < BoardColumns; ++c)
        for (int r = 0; r < 3; ++r)
            full[cellIndex(c, r)] = (r == 0 && c < 12) ? full[cellIndex(c, r)] : 0;
    game.refillColumn = 12;
    clickRepeatedly(state, game, full, &FallDownGame::collapseBelowTop, &FallDownGame::countMovesBelowTop);
}
BENCHMARK(clickBoardWorkFallDown)->Name("clickBoardWork/FallDown");

// Every cell holds a tile: the most blits a board frame can take.
void drawBoard(benchmark::State& state)
{
    benchApplication();
    BenchGame game;
    game.board = fullRandomBoard(7, 777);
    for (auto _ : state) {
        game.drawBoard();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(drawBoard)->Unit(benchmark::kMicrosecond);

// The four frames of a removal, without the pauses between them: the largest group of a
// two-colour board vanishes.
void animateRemoval(benchmark::State& state)
{
    benchApplication();
    setAnimationWaits(false);
    BenchGame game;
    game.previousBoard = fullRandomBoard(2, 99);
    game.board = game.previousBoard;
    const BoardCell clicked = largestGroupCell(game.board);
    benchmark::DoNotOptimize(game.removeGroup(clicked.column, clicked.row, game.cell(clicked.column, clicked.row), true));
    for (auto _ : state) {
        game.animateRemoval();
        benchmark::ClobberMemory();
    }
    setAnimationWaits(true);
}
BENCHMARK(animateRemoval)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    // Headless: the drawing benchmarks need a video surface but no window; the music plays
    // into the dummy audio device as it would into a real one.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shutDownBenchWorld();
    SDL_Quit();
    return 0;
}
