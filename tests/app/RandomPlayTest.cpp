// A seeded walk of random events through the real Application, every invariant checked after every event.
// Boards and rand() are seeded from the walk's generator, so KLAKORIA_STRESS_SEED=<n> replays walk n exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <set>

#include "TestSupport.h"
#include "app/Application.h"
#include "game/rules/Numbers.h"
#include "gfx/Tileset.h"
#include "variants/ChaosGame.h"
#include "variants/FallDownGame.h"
#include "variants/SpeedGame.h"
#include "variants/StandardGame.h"

namespace {

// Seed s prefers variant s % 4 on the variant screen, so a replayed seed runs in its variant's test.
class RandomPlay : public testing::TestWithParam<int> {
protected:
    void check()
    {
        const Application& a = *app;
        const Game* game = a.game();
        screensSeen.insert(a.screen());
        // A difficulty chosen for another variant would end the process with status 6; the player's set is in use.
        EXPECT_TRUE(a.screen() >= MainMenu && a.screen() <= ConfirmEnd && a.variant() >= 0 && a.variant() <= 3 &&
                    (a.screen() != ChooseDifficulty || a.variant() == 2) &&
                    (game != nullptr) == (a.screen() == InGame || a.screen() == ConfirmEnd) &&
                    (a.shownList() != nullptr) == (a.screen() == HighscoreList) &&
                    tileRects[0].y == a.tileset() * TileSetBand)
            << "screen " << a.screen() << ", variant " << a.variant() << ", tile set " << a.tileset();
        const HighscoreRows* lists[] = {a.shownList(), game ? &game->highscores() : nullptr};
        for (const HighscoreRows* list : lists)  // ten rows, best first
            for (int i = 0; list && i < 10; ++i)
                EXPECT_TRUE(list->capacity() == 10 && (i == 0 || list->score(i - 1) >= list->score(i)));
        if (!game)
            return;
        const GameCore& g = game->core();
        auto* standard = dynamic_cast<const StandardGame*>(game);
        auto* speed = dynamic_cast<const SpeedGame*>(game);
        auto* fallDown = dynamic_cast<const FallDownGame*>(game);
        const int colours = g.colourCount, state = g.state, variant = a.variant();
        const bool pauses = variant >= 2;
        const bool inRange[] = {
            standard && standard->rules().level >= 1 && standard->rules().level <= StandardRules::LastLevel,
            dynamic_cast<const ChaosGame*>(game) && colours >= 2 && colours <= 5,
            speed && colours >= 2 && colours <= 8 && speed->rules().difficulty >= 0 && speed->rules().difficulty <= 2,
            fallDown && colours >= 4 && colours <= 8 && fallDown->rules().refillColumn >= 0 &&
                fallDown->rules().refillColumn <= BoardColumns && (!fallDown->rules().won || colours == 8)};
        ASSERT_TRUE(inRange[variant]) << "variant " << variant << ", " << colours << " colours";
        if (variant == GetParam())
            statesSeen.insert(state);
        // "(ende)" reacts only to a game being played, and pauses the variants that pause; the timed
        // variants count 8 colours once their last board is done.
        EXPECT_TRUE(state >= Playing && state <= Paused && (variant == 0 || state != LevelResults) &&
                    (pauses || state != Paused) && (colours < 8 || state != Playing) &&
                    (state != Paused || g.clock.startTicks == 0) &&
                    (a.screen() != ConfirmEnd || state == (pauses ? Paused : Playing)) &&
                    (state != NameEntry || game->highscores().qualifies(g.finalScore)) &&
                    g.playerName.find(';') == std::string::npos && onBoard(g.gravity.column, g.gravity.row))
            << "state " << state << ", " << colours << " colours, score " << g.finalScore;
        EXPECT_LE(std::ranges::max(g.board), standard ? standard->rules().level + 1 : std::min(colours, 7));
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    bool chance(int percent) { return pick(0, 99) < percent; }
    template <typename T>
    const T& oneOf(const std::vector<T>& items) { return items[size_t(pick(0, int(items.size()) - 1))]; }

    // "Ende" would end the test's process; the Application takes 16 bits, a game 32.
    void click(int32_t x, int32_t y)
    {
        if (app->screen() != MainMenu || !pointInRect(toInt16(x), toInt16(y), app->buttons().quit))
            app->handleClick(toInt16(x), toInt16(y));
    }

    // Labels drawn on this screen and, while playing, tiles of groups; repeats weigh the way to games of
    // the walk's variant and their ends.
    std::vector<SDL_Rect> targets()
    {
        const Buttons& b = app->buttons();
        std::vector<SDL_Rect> rects = {b.back};  // also "Ja"
        const auto add = [&](const SDL_Rect* first, int count, int times = 2) {
            for (int i = 0; i < count * times; ++i)
                rects.push_back(first[i % count]);
        };
        switch (app->screen()) {
        case MainMenu:
            add(&b.play, 1, 8);
            rects.insert(rects.end(), {b.tileset, b.highscores, b.info, b.music});
            break;
        case ChooseVariant: add(b.variantChoices, 4), add(&b.variantChoices[GetParam()], 1, 10); break;
        case ChooseColours: add(b.colourChoices, 4); break;
        case ChooseDifficulty: add(b.difficultyChoices, 3); break;
        case ChooseTileset: add(b.tilesetChoices, 5); break;
        case ChooseHighscores: add(b.highscoreChoices, 4); break;
        case ConfirmEnd: add(&b.endGame, 1, 3); break;  // "Nein"
        case InGame: {  // a pause label or "weiter" left from an earlier frame is one more click
            const Board& board = app->game()->core().board;
            auto* speed = dynamic_cast<const SpeedGame*>(app->game());
            auto* fallDown = dynamic_cast<const FallDownGame*>(app->game());
            rects.insert(rects.end(), {b.endGame, continueButton, speed ? speed->pauseLabel() : SDL_Rect{},
                                       fallDown ? fallDown->pauseLabel() : SDL_Rect{}});
            for (int c = 0; c < BoardColumns && app->game()->state() == Playing; ++c)
                for (int r = 0; r < BoardRows; ++r)
                    if (const auto v = board.at(c, r);
                        v && ((c && board.at(c - 1, r) == v) || (r && board.at(c, r - 1) == v)))
                        rects.push_back({toInt16(c * TileSize), toInt16(r * TileSize), TileSize, TileSize});
        }
        default: break;
        }
        std::erase_if(rects, [](const SDL_Rect& r) { return r.w == 0; });  // not drawn on this screen
        return rects;
    }

    void oneEvent()
    {
        const int32_t state = app->screen() == InGame ? app->game()->state() : -1;
        if (state == Playing && chance(1))
            reshape(0, true);
        // aimed, two queued, stray, keys, tick
        const auto weights = state == Playing || state == Paused ? std::array{48, 8, 10, 2, 21}
                           : state == NameEntry ? std::array{25, 3, 12, 44, 4} : std::array{65, 3, 18, 4, 5};
        const int kind = std::discrete_distribution<int>(weights.begin(), weights.end())(rng);
        if (kind <= 1) {  // clicks queued behind a removal see no frame between them: both aim at the old board
            const auto rects = targets();
            for (int i = 0; i <= kind && !rects.empty(); ++i) {
                const SDL_Rect& r = oneOf(rects);
                click(r.x + pick(0, r.w - 1), r.y + pick(0, r.h - 1));
            }
        } else if (kind == 2) {  // near the window, or far beyond it: negative, and past 16 bits
            const auto coordinate = [&](int onScreen) {
                return chance(60) ? onScreen : chance(30) ? oneOf(specials)
                     : chance(50) ? static_cast<int32_t>(rng()) : pick(-30000, 30000) * 65536 + onScreen;
            };
            const int32_t x = coordinate(pick(-60, 860)), y = coordinate(pick(-60, 660));
            app->screen() == InGame && chance(20) ? made->click(x, y) : click(x, y);
        } else if (kind == 3) {  // Backspace, Return, Latin-1 letters, the list's separator, codes no key has
            for (int i = chance(85) ? 1 : pick(2, 40); i > 0; --i)
                app->handleKey(SDLK_UNKNOWN, static_cast<uint16_t>(chance(80) ? oneOf(typedKeys) : pick(0, 65535)));
        } else {
            clock.advance(static_cast<uint32_t>(chance(5) ? pick(10000, 4000000) : pick(500, 1500)));
            app->handleTick();
        }
    }

    // A board dealt from the walk's generator (colours 0: the board stays), perhaps thinned to one small
    // block so that the game ends after a few clicks.
    void reshape(int colours, bool thin)
    {
        remade<StandardGame>(colours, thin) || remade<ChaosGame>(colours, thin) || remade<SpeedGame>(colours, thin) ||
            remade<FallDownGame>(colours, thin);
    }
    // The game is made again from its changed rules, its list read back from its file, which holds it
    // while the game is played.
    template <typename VariantGame>
    bool remade(int colours, bool thin)
    {
        const auto* game = dynamic_cast<const VariantGame*>(app->game());
        if (!game)
            return false;
        auto rules = game->rules();
        if (colours && app->variant() == 1)
            rules.gravity = {toInt16(pick(0, BoardRows - 1)), toInt16(pick(0, BoardColumns - 1))};
        const int width = pick(1, 6), height = pick(1, 4);
        const int left = pick(0, BoardColumns - width), top = pick(3, BoardRows - height);
        for (int c = 0; c < BoardColumns; ++c)
            for (int r = 0; r < BoardRows; ++r)
                if (thin && (c < left || c >= left + width || r < top || r >= top + height))
                    rules.board.at(c, r) = 0;
                else if (colours)  // FallDown starts with three empty rows
                    rules.board.at(c, r) = app->variant() == 3 && r < 3 ? 0 : uint16_t(pick(1, colours));
        if (thin)
            collapse(rules.board, {rules.gravity});
        auto next = std::make_unique<VariantGame>(highscoresOf(app->variant()), walkRandom, rules);
        made = next.get(), app->startGame(std::move(next));
        return true;
    }

    const std::vector<int32_t> specials = {INT32_MIN, -65535, -32768, -1, 0, 575, 576, 599, 600, 799, 800, 32767,
                                           65535, 65636, INT32_MAX};
    const std::vector<int> typedKeys = {8, 8, 13, ';', 228, 252, 246, 223, 196, 'a', 'Z', '0', ' ', 127, 31, 256, 0};
    // rand(), as the game draws, but seeded by the walk alone: a fresh start keeps the sequence.
    struct : RandomSource { int next() override { return std::rand(); } void reseed() override {} } walkRandom;
    std::mt19937 rng;
    testing_support::FakeClock clock;
    std::optional<Application> app;
    Game* made = nullptr;  // the game played, as every game is remade as it begins; clicked beyond 16 bits
    std::set<int> screensSeen, statesSeen;
};

TEST_P(RandomPlay, KeepsEveryInvariantThroughThousandsOfRandomEvents)
{
    const int variant = GetParam();
    const char* replay = std::getenv("KLAKORIA_STRESS_SEED");
    const uint32_t seed = replay && *replay ? static_cast<uint32_t>(std::strtoul(replay, nullptr, 10)) : 4000 + variant;
    if (seed % 4 != uint32_t(variant))
        GTEST_SKIP() << "the replayed seed belongs to another variant";
    SCOPED_TRACE("replay with KLAKORIA_STRESS_SEED=" + std::to_string(seed));
    rng.seed(seed);
    testing_support::TempDataDir dir;
    testing_support::DummyScreen screen;
    FontCache fonts;
    continueButton = SDL_Rect{};  // process-wide: this program must not see the last one's
    app.emplace(32);
    for (int event = 1, lastColours = 0; event <= 3200 && !HasFailure(); ++event) {
        SCOPED_TRACE(testing::Message() << "event " << event << " from screen " << app->screen());
        for (SDL_Event e; SDL_PollEvent(&e);)  // one frame per redraw request, as the main loop draws
            if (e.type == SDL_USEREVENT)
                app->draw();
        std::srand(static_cast<unsigned>(rng()));
        clock.advance(static_cast<uint32_t>(pick(0, 300)));
        const bool newGame = !app->game();  // a game begins only where none was
        oneEvent();
        check();
        if (!app->game() || HasFailure())
            continue;
        // A new game and each Standard level deal from the wall clock; half of the new boards are thinned.
        auto* standard = dynamic_cast<const StandardGame*>(app->game());
        const int colours = standard ? standard->rules().level + 1 : app->game()->core().colourCount;
        if (newGame || (app->game()->state() == Playing && colours != lastColours))
            reshape(newGame || standard ? colours : 0, chance(50));
        lastColours = colours;
    }
    app.reset();  // perhaps during a game, which must then be deleted (the sanitizer build sees leaks)
    // A walk that no longer reaches every screen and the ends of games would check little.
    EXPECT_EQ(screensSeen.size(), 10u);
    const int extraState = variant == 0 ? LevelResults : variant >= 2 ? Paused : Playing;
    EXPECT_EQ(statesSeen, (std::set<int>{Playing, GameResults, ShowHighscores, NameEntry, extraState}));
}

INSTANTIATE_TEST_SUITE_P(EachVariant, RandomPlay, testing::Range(0, 4), [](const auto& info) {
    return std::string(std::array{"Standard", "Chaos", "Speed", "FallDown"}[static_cast<size_t>(info.param)]);
});

}  // namespace
