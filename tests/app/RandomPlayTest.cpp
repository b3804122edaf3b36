// A seeded walk of random clicks, typed keys and ticks through the real Application, its invariants checked
// after every event. Each variant's walk leans towards its own games, the clicks towards groups of tiles.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "TestSupport.h"
#include "app/Application.h"
#include "gfx/Tileset.h"
#include "variants/ChaosGame.h"
#include "variants/FallDownGame.h"
#include "variants/SpeedGame.h"
#include "variants/StandardGame.h"

using namespace testing_support;

namespace {

long tilesOf(const Game* game) { return game ? std::ranges::count_if(game->core().board, holdsTile) : 0; }

// A new board is dealt from the wall clock. The game is made again from its rules, its board one small block
// dealt from the walk's generator, so that a walk runs the same way each time and its games end soon.
template <class VariantGame>
bool remake(Application& app, RandomSource& random, std::mt19937& rng)
{
    const auto* game = dynamic_cast<const VariantGame*>(app.game());
    if (!game)
        return false;
    auto rules = game->rules();
    const int colours = std::ranges::max(rules.board);
    const int left = int(rng() % 20);
    const int top = int(3 + rng() % 12);
    for (int c = 0; c < BoardColumns; ++c)
        for (int r = 0; r < BoardRows; ++r)
            rules.board.at(c, r) = c < left || c > left + 5 || r < top || r > top + 3 ? 0 : uint16_t(1 + rng() % colours);
    collapse(rules.board, {rules.gravity});
    app.startGame(std::make_unique<VariantGame>(highscoresOf(app.variant()), random, rules));
    return true;
}

}  // namespace

class RandomPlay : public testing::TestWithParam<int> {};

TEST_P(RandomPlay, KeepsTheInvariantsOfScreensGamesAndLists)
{
    const int variant = GetParam();
    std::mt19937 rng(4012 + variant);
    const auto pick = [&rng](int low, int high) { return std::uniform_int_distribution(low, high)(rng); };
    TempDataDir dir;
    FakeClock clock;
    DummyScreen screen;
    FontCache fonts;
    Application app(32);
    const Buttons& b = app.buttons();
    // rand(), as the games draw, seeded by the walk alone: a new game or level keeps the sequence.
    struct : RandomSource {
        int next() override { return std::rand(); }
        void reseed() override {}
    } walkRandom;
    std::set<int> screens, states;
    long lastTiles = 0;
    for (int event = 0; event < 2000 && !HasFailure(); ++event) {
        for (SDL_Event e; SDL_PollEvent(&e);)  // a frame for each request, as the main loop draws
            app.draw();
        std::srand(static_cast<unsigned>(rng()));
        const Game* game = app.game();
        if (game && game->state() == Playing && tilesOf(game) > lastTiles + 100) {
            remake<StandardGame>(app, walkRandom, rng) || remake<ChaosGame>(app, walkRandom, rng) ||
                remake<SpeedGame>(app, walkRandom, rng) || remake<FallDownGame>(app, walkRandom, rng);
            game = app.game();
        }
        lastTiles = tilesOf(game);
        std::vector<SDL_Rect> targets = app.labels(), tiles;
        // Most clicks lead to the walk's variant and, from "(ende)", back to the game.
        const std::map<int, SDL_Rect> favoured = {{MainMenu, b.play}, {ChooseVariant, b.variantChoices[variant]},
                                                  {ConfirmEnd, b.endGame}};
        if (favoured.contains(app.screen()))
            targets.insert(targets.end(), 4, favoured.at(app.screen()));
        targets.insert(targets.end(), {b.endGame, continueButton});
        for (int c = 1; game && c < BoardColumns; ++c)
            for (int r = 0; r < BoardRows; ++r)
                if (holdsTile(game->core().board.at(c, r)) && game->core().board.at(c - 1, r) == game->core().board.at(c, r))
                    tiles.push_back({int16_t(c * TileSize), int16_t(r * TileSize), TileSize, TileSize});
        const std::vector<SDL_Rect>& some = tiles.empty() || pick(0, 2) == 0 ? targets : tiles;
        const SDL_Rect& aim = some[size_t(pick(0, int(some.size()) - 1))];
        const bool stray = pick(0, 4) == 0;
        const auto x = int16_t(stray ? pick(-99, 899) : aim.x + pick(0, aim.w));
        const auto y = int16_t(stray ? pick(-99, 699) : aim.y + pick(0, aim.h));
        if (const int kind = pick(0, 9); kind == 0) {
            app.handleKey(SDLK_UNKNOWN, uint16_t(pick(0, 300)));
        } else if (kind <= 3) {
            clock.advance(uint32_t(pick(0, 9) ? pick(500, 1500) : 600000));
            app.handleTick();
        } else if (app.screen() != MainMenu || !pointInRect(x, y, b.quit)) {  // "Ende" would end the test
            app.handleClick(x, y);
        }
        game = app.game();
        screens.insert(app.screen());
        ASSERT_EQ(game != nullptr, app.screen() == InGame || app.screen() == ConfirmEnd);
        ASSERT_EQ(app.shownList() != nullptr, app.screen() == HighscoreList);
        ASSERT_EQ(tileRects[0].y, app.tileset() * TileSetBand) << "the player's tile set";
        if (!game)
            continue;
        const GameState state = game->state();
        states.insert(state);
        // "(ende)" pauses the variants with a clock, and only while they are played.
        ASSERT_EQ(game->highscores().title(), variantNames[size_t(app.variant())]);
        ASSERT_TRUE(app.screen() != ConfirmEnd || state == (app.variant() >= 2 ? Paused : Playing));
        ASSERT_TRUE(state != NameEntry || game->highscores().qualifies(game->core().finalScore));
        for (int i = 1; i < 10; ++i)
            ASSERT_GE(game->highscores().score(i - 1), game->highscores().score(i));
    }
    // A walk that no longer reached every screen and the ends of the games would check little.
    EXPECT_EQ(screens.size(), 10u);
    EXPECT_TRUE(states.contains(NameEntry) && states.contains(ShowHighscores)) ;
}

INSTANTIATE_TEST_SUITE_P(EachVariant, RandomPlay, testing::Range(0, 4));
