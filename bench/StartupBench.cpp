#include <benchmark/benchmark.h>

#include <SDL.h>
#include <SDL_ttf.h>

#include "BenchWorld.h"
#include "gfx/Tileset.h"

namespace {

// The start-up's own work before the first frame, piece by piece: tinting the tile sheet from
// its template, and opening the font at one size.
void loadTileSheet(benchmark::State& state)
{
    benchApplication();
    SDL_Surface* const gameSheet = tileSheet;
    for (auto _ : state) {
        loadTileset();
        SDL_FreeSurface(tileSheet);
    }
    tileSheet = gameSheet;
}
BENCHMARK(loadTileSheet)->Unit(benchmark::kMicrosecond);

void openFont(benchmark::State& state)
{
    benchApplication();
    for (auto _ : state) {
        TTF_Font* font = TTF_OpenFont("Data/boulder.ttf", 30);
        benchmark::DoNotOptimize(font);
        TTF_CloseFont(font);
    }
}
BENCHMARK(openFont)->Unit(benchmark::kMicrosecond);

}  // namespace
