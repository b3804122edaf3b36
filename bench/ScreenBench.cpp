#include <benchmark/benchmark.h>

#include <SDL_ttf.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <vector>

#include "BenchWorld.h"
#include "app/Application.h"
#include "game/Game.h"
#include "gfx/GlyphSheets.h"
#include "gfx/GlyphText.h"
#include "gfx/Screen.h"
#include "gfx/Text.h"
#include "gfx/Tileset.h"
#include "variants/ChaosGame.h"
#include "variants/FallDownGame.h"
#include "variants/SpeedGame.h"
#include "variants/StandardGame.h"

namespace {

using Setup = std::function<void(Application&)>;
using ButtonOf = SDL_Rect (*)(const Buttons&);

// The screen reached from the main menu by clicking these labels, each in the frame before it.
Setup walk(std::vector<ButtonOf> labels)
{
    return [labels](Application& app) {
        for (const ButtonOf label : labels) {
            app.draw();
            const SDL_Rect r = label(app.buttons());
            app.handleClick(static_cast<int16_t>(r.x + r.w / 2), static_cast<int16_t>(r.y + r.h / 2));
        }
    };
}

std::unique_ptr<HighscoreRows> list() { return std::make_unique<HighscoreRows>(variantNames[0], 10); }

// A new game of this kind, put into this state, behind the game screen.
template <typename Variant, typename... Arguments>
Setup inGame(GameState state, Arguments... arguments)
{
    return [=](Application& app) {
        auto rules = Variant(list(), arguments...).rules();
        rules.state = state;
        rules.playerName = "Spielerin";
        app.startGame(std::make_unique<Variant>(list(), systemRandom(), rules));
    };
}

// Draws the screen that setup enters from the main menu of a new Application once per iteration.
// With fontsClosed, every frame starts with no font open: every size it uses is opened and every
// glyph loaded again, as in the first frame after start-up.
void drawFrames(benchmark::State& state, const Setup& setup, bool fontsClosed)
{
    Application& app = freshBenchApplication();
    setup(app);
    // The redraw requests of the start and of the clicks: no main loop answers them here.
    for (SDL_Event event; SDL_PollEvent(&event);)
        continue;
    for (auto _ : state) {
        if (fontsClosed) {
            state.PauseTiming();
            keepFontsOpen(false);
            keepFontsOpen(true);
            state.ResumeTiming();
        }
        app.draw();
        benchmark::ClobberMemory();
    }
}

// One full frame of a screen: clear, draw every text and tile, flip.
void drawScreen(benchmark::State& state, Setup setup) { drawFrames(state, setup, false); }

// The same frame as the first one after the screen was entered with no font open.
void drawScreenWithFontsClosed(benchmark::State& state, Setup setup) { drawFrames(state, setup, true); }

#define SCREEN(name, setup)                                                                   \
    BENCHMARK_CAPTURE(drawScreen, name, setup)->Unit(benchmark::kMicrosecond);                \
    BENCHMARK_CAPTURE(drawScreenWithFontsClosed, name, setup)->Unit(benchmark::kMicrosecond)

SDL_Rect play(const Buttons& b) { return b.play; }
SDL_Rect tilesets(const Buttons& b) { return b.tileset; }
SDL_Rect info(const Buttons& b) { return b.info; }
SDL_Rect lists(const Buttons& b) { return b.highscores; }
SDL_Rect chaos(const Buttons& b) { return b.variantChoices[1]; }
SDL_Rect speed(const Buttons& b) { return b.variantChoices[2]; }
SDL_Rect standardList(const Buttons& b) { return b.highscoreChoices[0]; }
SDL_Rect ende(const Buttons& b) { return b.endGame; }

SCREEN(MainMenu, walk({}));
SCREEN(VariantChoice, walk({play}));
SCREEN(ColourChoice, walk({play, chaos}));
SCREEN(DifficultyChoice, walk({play, speed}));
SCREEN(TilesetChoice, walk({tilesets}));
SCREEN(Info, walk({info}));
SCREEN(HighscoreChoice, walk({lists}));
SCREEN(HighscoreList, walk({lists, standardList}));
SCREEN(StandardPlaying, inGame<StandardGame>(Playing));
SCREEN(StandardLevelResult, inGame<StandardGame>(LevelResults));
SCREEN(StandardFinalResult, inGame<StandardGame>(GameResults));
SCREEN(StandardNameEntry, inGame<StandardGame>(NameEntry));
SCREEN(StandardHighscores, inGame<StandardGame>(ShowHighscores));
SCREEN(ChaosPlaying, inGame<ChaosGame>(Playing, int16_t{2}));
SCREEN(SpeedPlaying, inGame<SpeedGame>(Playing, int16_t{0}));
SCREEN(SpeedPaused, inGame<SpeedGame>(Paused, int16_t{0}));
SCREEN(FallDownPlaying, inGame<FallDownGame>(Playing));
SCREEN(FallDownFinalResult, inGame<FallDownGame>(GameResults));
SCREEN(ConfirmEnd, [](Application& app) {
    inGame<StandardGame>(Playing)(app);
    walk({ende})(app);
});

// A playing Standard game drawn and shown magnified by the argument: the frame a player waits for
// at that size. 3 stands for fullscreen on a 3840 x 2160 screen, whose largest whole factor is 3.
// The tile set changes between frames, so that every row of the board is new, as after a collapse
// toward a far point of gravity.
void drawMagnifiedFrame(benchmark::State& state)
{
    Application& app = freshBenchApplication();
    inGame<StandardGame>(Playing)(app);
    openWindow({static_cast<int>(state.range(0)), false}, 32);
    int frame = 0;
    for (auto _ : state) {
        selectTileset(3 + frame++ % 2);
        app.draw();
        benchmark::ClobberMemory();
    }
    selectTileset(app.tileset());
    openWindow({1, false}, 32);
}
BENCHMARK(drawMagnifiedFrame)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

// One status-bar text, with the fonts kept open as in the game, and with the font opened and
// closed around every text as the program would do without a FontCache.
void drawStatusText(benchmark::State& state, bool fontsKept)
{
    benchApplication();
    keepFontsOpen(fontsKept);
    for (auto _ : state)
        drawText("Punkte: 1234", 0, 576, TextAlign::Left, 18, nullptr);
    keepFontsOpen(true);
}
BENCHMARK_CAPTURE(drawStatusText, FontKept, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(drawStatusText, FontOpenedPerText, false)->Unit(benchmark::kMicrosecond);

// The same text rendered and put on the screen as drawText does it, by SDL_ttf with its font open
// (an 8-bit surface) and from the glyph sheets that the web build draws with (a 32-bit one); then
// reading the sheets, which the web build does once, at its first text.
void renderStatusText(benchmark::State& state, bool fromGlyphSheets)
{
    benchApplication();
    TTF_Font* font = TTF_OpenFont("Data/boulder.ttf", 18);
    const GlyphFont glyphs(18);
    for (auto _ : state) {
        const char* const line = "Punkte: 1234";
        const SurfacePtr text = fromGlyphSheets ? glyphs.render(line)
                                                : SurfacePtr(TTF_RenderText_Shaded(font, line, {255, 0, 0, 0}, {}));
        SDL_Rect at{0, 576, 0, 0};
        SDL_BlitSurface(text.get(), nullptr, screenSurface, &at);
    }
    TTF_CloseFont(font);
}
BENCHMARK_CAPTURE(renderStatusText, SdlTtf, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(renderStatusText, GlyphText, true)->Unit(benchmark::kMicrosecond);

void readGlyphSheets(benchmark::State& state)
{
    benchApplication();
    for (auto _ : state) {
        std::ifstream sheetFile(GlyphSheetFile, std::ios::binary), metricsFile(GlyphMetricsFile, std::ios::binary);
        GreyImage sheet;
        std::vector<GlyphSize> sizes;
        benchmark::DoNotOptimize(decodeGreyBmp({std::istreambuf_iterator<char>(sheetFile), {}}, sheet));
        benchmark::DoNotOptimize(decodeGlyphMetrics({std::istreambuf_iterator<char>(metricsFile), {}}, sizes));
    }
}
BENCHMARK(readGlyphSheets)->Unit(benchmark::kMillisecond);

}  // namespace
