#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdlib>
#include <random>

#include "game/Game.h"
#include "gfx/Screen.h"
#include "gfx/Tileset.h"

namespace {

class BenchGame : public Game {
public:
    void click(int32_t, int32_t) override {}
    void draw() override {}
    void tick() override {}
    void leave() override {}
};

Board fullRandomBoard(int colours, uint32_t seed)
{
    std::mt19937 rng(seed);
    Board board{};
    for (auto& value : board)
        value = static_cast<uint16_t>(1 + rng() % colours);
    return board;
}

// The cell of the largest group, so that every iteration removes and collapses a lot.
BoardCell largestGroupCell(const Board& board)
{
    BoardCell best{0, 0, true};
    int32_t bestSize = -1;
    for (int c = 0; c < BoardColumns; ++c)
        for (int r = 0; r < BoardRows; ++r) {
            BenchGame game;
            game.board = board;
            const int32_t size = game.removeGroup(static_cast<int16_t>(c), static_cast<int16_t>(r), game.cell(c, r), true);
            if (size > bestSize) {
                bestSize = size;
                best = {static_cast<int16_t>(c), static_cast<int16_t>(r), true};
            }
        }
    return best;
}

// One click's work on the board: copy for the animation, remove, collapse, count what is left.
void BM_ClickBoardWork(benchmark::State& state)
{
    const Board full = fullRandomBoard(4, 12345);
    const BoardCell clicked = largestGroupCell(full);
    BenchGame game;
    game.gravityRow = static_cast<int16_t>(state.range(0));
    game.gravityColumn = static_cast<int16_t>(state.range(1));
    for (auto _ : state) {
        game.board = full;
        game.previousBoard = game.board;
        const int32_t removed = game.removeGroup(clicked.column, clicked.row, game.cell(clicked.column, clicked.row), true);
        game.collapse();
        benchmark::DoNotOptimize(removed);
        benchmark::DoNotOptimize(game.countMoves());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ClickBoardWork)->ArgNames({"row", "column"})->Args({17, 0})->Args({8, 12})->Args({0, 24})->Args({17, 12});

// The 800 x 600 dummy screen in 32 bits and a sheet in its format, made once for all runs.
struct DrawingSetup {
    DrawingSetup()
    {
        if (SDL_Init(SDL_INIT_VIDEO) < 0 || !(screenSurface = SDL_SetVideoMode(WindowWidth, WindowHeight, 32, SDL_SWSURFACE)))
            std::abort();
        SDL_Surface* plain = SDL_CreateRGBSurface(SDL_SWSURFACE, TileColourCount * TileSize,
                                                  (TileSetCount - 1) * TileSetBand + TileSize, 32, 0, 0, 0, 0);
        tileSheet = SDL_DisplayFormat(plain);
        SDL_FreeSurface(plain);
        for (int k = 0; k < TileColourCount; ++k) {
            SDL_Rect column{static_cast<Sint16>(TileSize * k), 0, TileSize, static_cast<Uint16>(tileSheet->h)};
            SDL_FillRect(tileSheet, &column, SDL_MapRGB(tileSheet->format, 30 * k, 255 - 30 * k, 100));
        }
        tileRects = new SDL_Rect[TileColourCount];
        for (int k = 0; k < TileColourCount; ++k)
            tileRects[k] = SDL_Rect{static_cast<Sint16>(TileSize * k), 0, TileSize, TileSize};
        selectTileset(4);
    }
};

void BM_DrawFullBoard(benchmark::State& state)
{
    static DrawingSetup setup;
    BenchGame game;
    game.board = fullRandomBoard(7, 777);
    for (auto _ : state) {
        game.drawBoard();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawFullBoard)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    // Headless: the drawing benchmark needs a video surface but no window.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SDL_Quit();
    return 0;
}
