#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

#include "BenchWorld.h"
#include "app/Application.h"
#include "game/Game.h"
#include "gfx/Text.h"
#include "highscore/HighscoreTable.h"
#include "variants/ChaosGame.h"
#include "variants/FallDownGame.h"
#include "variants/SpeedGame.h"
#include "variants/StandardGame.h"

namespace {

using Setup = std::function<void(Application&)>;

Setup menu(ScreenState screen)
{
    return [screen](Application& app) { app.screen = screen; };
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
        app.game = std::make_unique<Variant>(list(), systemRandom(), rules);
        app.screen = InGame;
    };
}

// Draws the screen that setup enters once per iteration, then leaves it for the main menu. With
// fontsClosed, every frame starts with no font open: every size it uses is opened and every
// glyph loaded again, as in the first frame after start-up.
void drawFrames(benchmark::State& state, const Setup& setup, bool fontsClosed)
{
    Application& app = benchApplication();
    setup(app);
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
    app.game.reset();
    app.shownHighscores.reset();
    app.screen = MainMenu;
}

// One full frame of a screen: clear, draw every text and tile, flip.
void drawScreen(benchmark::State& state, Setup setup) { drawFrames(state, setup, false); }

// The same frame as the first one after the screen was entered with no font open.
void drawScreenWithFontsClosed(benchmark::State& state, Setup setup) { drawFrames(state, setup, true); }

#define SCREEN(name, setup)                                                                   \
    BENCHMARK_CAPTURE(drawScreen, name, setup)->Unit(benchmark::kMicrosecond);                \
    BENCHMARK_CAPTURE(drawScreenWithFontsClosed, name, setup)->Unit(benchmark::kMicrosecond)

SCREEN(MainMenu, menu(MainMenu));
SCREEN(VariantChoice, menu(ChooseVariant));
SCREEN(ColourChoice, menu(ChooseColours));
SCREEN(DifficultyChoice, menu(ChooseDifficulty));
SCREEN(TilesetChoice, menu(ChooseTileset));
SCREEN(Info, menu(Info));
SCREEN(HighscoreChoice, menu(ChooseHighscores));
SCREEN(HighscoreList, [](Application& app) {
    app.shownHighscores = std::make_unique<HighscoreTable>(variantNames[0], "Data/var1.hsc", 10);
    app.screen = HighscoreList;
});
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
    app.screen = ConfirmEnd;
});

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

}  // namespace
