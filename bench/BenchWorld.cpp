#include "BenchWorld.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "app/Application.h"
#include "gfx/Text.h"

namespace fs = std::filesystem;

namespace {

const char* const Assets[] = {"boulder.ttf", "tileset.bmp", "icon.bmp", "Musik.wav", "glyphs.bmp", "glyphs.dat"};

struct World {
    fs::path previousDirectory;
    fs::path folder;
    FontCache* fonts = nullptr;  // as the game's entry function keeps them
    Application* app = nullptr;
};

World* world = nullptr;

[[noreturn]] void giveUp(const char* what)
{
    std::fprintf(stderr, "klakoria_bench: %s: %s\n", what, SDL_GetError());
    std::exit(1);
}

fs::path makeDataFolder()
{
    std::string pattern = (fs::temp_directory_path() / "klakoria-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        giveUp("no temporary folder");
    const fs::path folder = pattern;
    fs::create_directory(folder / "Data");
    for (const char* asset : Assets)
        fs::create_symlink(fs::path(KLAKORIA_ASSET_DIR) / asset, folder / "Data" / asset);
    return folder;
}

}  // namespace

Application& benchApplication()
{
    if (world)
        return *world->app;
    world = new World;
    world->previousDirectory = fs::current_path();
    world->folder = makeDataFolder();
    fs::current_path(world->folder);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) < 0)
        giveUp("SDL_Init");
    if (TTF_Init() == -1)
        giveUp("TTF_Init");
    world->fonts = new FontCache;
    world->app = new Application(32);
    return *world->app;
}

Application& freshBenchApplication()
{
    benchApplication();
    // Never two at once: each loads the one tile sheet and the one piece of music.
    delete world->app;
    world->app = new Application(32);
    return *world->app;
}

void shutDownBenchWorld()
{
    if (!world)
        return;
    // Deleting the Application writes the highscore files of its game into the folder.
    delete world->app;
    delete world->fonts;
    TTF_Quit();
    std::error_code ignored;
    fs::current_path(world->previousDirectory, ignored);
    fs::remove_all(world->folder, ignored);
    delete world;
    world = nullptr;
}

void keepFontsOpen(bool kept)
{
    benchApplication();
    if (kept && !world->fonts)
        world->fonts = new FontCache;
    if (!kept) {
        delete world->fonts;
        world->fonts = nullptr;
    }
}

Board fullRandomBoard(int colours, uint32_t seed)
{
    std::mt19937 rng(seed);
    Board board{};
    for (int i = 0; i < BoardCells; ++i)
        board[i] = static_cast<uint16_t>(1 + rng() % colours);
    return board;
}

Cell largestGroupCell(const Board& board)
{
    Cell best{0, 0};
    int32_t bestSize = -1;
    for (int16_t c = 0; c < BoardColumns; ++c)
        for (int16_t r = 0; r < BoardRows; ++r) {
            Board removed = board;
            const int32_t size = removeGroup(removed, c, r, removed.at(c, r));
            if (size > bestSize) {
                bestSize = size;
                best = {c, r};
            }
        }
    return best;
}
