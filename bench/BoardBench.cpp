#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdlib>

#include "BenchWorld.h"
#include "game/BoardDrawing.h"
#include "game/rules/GameRules.h"
#include "system/Clock.h"

namespace {

// How each variant settles after a removal and where it counts the moves left, on a first board of
// few colours (fewer colours make larger groups, so the click removes and moves the most).
struct ClickCase {
    int colours;
    Settling settling;
    int firstCountedRow = 0;
};
const ClickCase StandardCase{2, {Gravity{17, 0}}};   // level 1, bottom left
const ClickCase ChaosCase{2, {Gravity{8, 12}}};      // two colours, gravity drawn into the middle
const ClickCase SpeedCase{2, {Gravity{0, 24}}};      // "Mittel", gravity in the top right corner
// Below its feeder row, whose first 12 cells were fed in this cycle and hang.
const ClickCase FallDownCase{4, {Gravity{17, 12}, true, 12}, 1};

// A board dealt from row 3, the feeder half way along the top row.
Board fallDownBoard()
{
    Board full = fullRandomBoard(FallDownCase.colours, 4242);
    for (int c = 0; c < BoardColumns; ++c)
        for (int r = 0; r < 3; ++r)
            full[cellIndex(c, r)] = (r == 0 && c < 12) ? full[cellIndex(c, r)] : 0;
    return full;
}

// One click's work on a full board, again and again: remove the largest group with the boards the
// animation keeps, let the rest settle and count what is left, with the variant's settling and count.
void clickBoardWork(benchmark::State& state, const ClickCase& click, const Board& full)
{
    const Cell clicked = largestGroupCell(full);
    for (auto _ : state) {
        Board board = full;
        const Removal removal = removeGroupAt(board, clicked);
        collapse(board, click.settling);
        benchmark::DoNotOptimize(removal);
        benchmark::DoNotOptimize(countMoves(board, click.firstCountedRow));
        benchmark::ClobberMemory();
    }
}
BENCHMARK_CAPTURE(clickBoardWork, Standard, StandardCase, fullRandomBoard(StandardCase.colours, 12345));
BENCHMARK_CAPTURE(clickBoardWork, Chaos, ChaosCase, fullRandomBoard(ChaosCase.colours, 12345));
BENCHMARK_CAPTURE(clickBoardWork, Speed, SpeedCase, fullRandomBoard(SpeedCase.colours, 12345));
BENCHMARK_CAPTURE(clickBoardWork, FallDown, FallDownCase, fallDownBoard());

// Every cell holds a tile: the most blits a board frame can take.
void drawBoard(benchmark::State& state)
{
    benchApplication();
    const Board board = fullRandomBoard(7, 777);
    for (auto _ : state) {
        ::drawBoard(board);
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
    Board board = fullRandomBoard(2, 99);
    const Removal removal = removeGroupAt(board, largestGroupCell(board));
    for (auto _ : state) {
        ::animateRemoval(removal);
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
