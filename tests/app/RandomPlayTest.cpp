// Seeded walks of random events through the real Application, every invariant checked after
// every event. Boards dealt from the wall clock are dealt again from the walk's generator, and
// rand() is seeded from it before each event, so a seed replays exactly:
//   KLAKORIA_STRESS_SEED=<n>    replays that walk (each walk prints its seed first)
//   KLAKORIA_STRESS_EVENTS=<n>  events per variant (default 3200, in walks of 800)

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <numeric>
#include <random>
#include <set>

#include "TestSupport.h"
#include "app/Application.h"
#include "game/Game.h"
#include "highscore/HighscoreTable.h"
#include "variants/ChaosGame.h"
#include "variants/FallDownGame.h"
#include "variants/SpeedGame.h"
#include "variants/StandardGame.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

constexpr int DefaultEvents = 3200, EventsPerWalk = 800;
bool walkRunning = false;

int variantOf(const Game* g)
{
    return dynamic_cast<const StandardGame*>(g) ? 0 : dynamic_cast<const ChaosGame*>(g) ? 1
         : dynamic_cast<const SpeedGame*>(g)    ? 2 : dynamic_cast<const FallDownGame*>(g) ? 3 : -1;
}

void checkList(const HighscoreTable& table)
{
    const auto& rows = table.entries;
    ASSERT_EQ(rows.size(), 10u) << table.title;
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [](auto& x, auto& y) { return x.score > y.score; }))
        << table.title;
    for (const auto& row : rows)
        EXPECT_EQ(row.name.find(';'), std::string::npos) << table.title;
}

void checkGame(const Game& g, int variant, ScreenState screen)
{
    ASSERT_EQ(variantOf(&g), variant) << "a game of another variant than the chosen one";
    ASSERT_NE(g.highscores, nullptr);
    checkList(*g.highscores);
    auto* standard = dynamic_cast<const StandardGame*>(&g);
    auto* speed = dynamic_cast<const SpeedGame*>(&g);
    auto* fallDown = dynamic_cast<const FallDownGame*>(&g);
    const int colours = g.colourCount, state = g.state;
    const bool pauses = variant >= 2;
    const bool inRange[] = {standard && standard->level >= 1 && standard->level <= StandardGame::LastLevel,
                            colours >= 2 && colours <= 5,
                            speed && colours >= 2 && colours <= 8 && speed->difficulty >= 0 && speed->difficulty <= 2,
                            fallDown && colours >= 4 && colours <= 8 && fallDown->refillColumn >= 0 &&
                                fallDown->refillColumn <= BoardColumns && (!fallDown->won || colours == 8)};
    EXPECT_TRUE(inRange[variant]) << colours << " colours";
    EXPECT_TRUE(state >= Playing && state <= Paused && (variant == 0 || state != LevelResults) &&
                (pauses || state != Paused) && (colours < 8 || state != Playing))
        << "state " << state << " with " << colours << " colours";
    EXPECT_TRUE(g.gravityRow >= 0 && g.gravityRow < BoardRows && g.gravityColumn >= 0 &&
                g.gravityColumn < BoardColumns);
    // The timed variants count 8 colours once their last board is done.
    EXPECT_LE(*std::max_element(g.board.begin(), g.board.end()), standard ? standard->level + 1 : std::min(colours, 7));
    EXPECT_EQ(g.playerName.find(';'), std::string::npos);
    EXPECT_FALSE(state == NameEntry && !g.highscores->qualifies(g.finalScore)) << g.finalScore;
    EXPECT_FALSE(state == Paused && g.startTicks != 0) << "paused with the clock running";
    // "(ende)" reacts only to a game being played, and pauses the variants that pause.
    EXPECT_FALSE(screen == ConfirmEnd && state != (pauses ? Paused : Playing)) << state;
}

// Seed s prefers variant s % 4 on the variant screen, so a replayed seed runs in its variant's test.
class RandomPlay : public testing::TestWithParam<int> {
protected:
    void walk(uint32_t seed, int events)
    {
        rng.seed(seed);
        lastGame = nullptr;
        testing_support::TempDataDir dir;
        startProgram();
        for (int event = 1; event <= events && !HasFailure(); ++event) {
            SCOPED_TRACE(testing::Message() << "event " << event << " from screen " << app->screen);
            std::srand(static_cast<unsigned>(rng()));
            clock.advance(static_cast<uint32_t>(pick(0, 300)));
            const auto before = shown();
            oneEvent();
            for (SDL_Event e; SDL_PollEvent(&e);)
                redrawPending = redrawPending || e.type == SDL_USEREVENT;
            checkInvariants();
            if (app->game && !HasFailure())
                dealNewBoardsAgain();
            lastGame = app->game;
            // A new screen at once, so that the next aimed click finds its labels; other redraws
            // wait a few events, as drawing is the expensive part.
            if (shown() != before || (redrawPending && event % 4 == 0)) {
                app->draw();
                redrawPending = false;
            }
        }
        endProgram();
#if defined(__SANITIZE_ADDRESS__)
        EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0) << "memory leaked (see the report above)";
#endif
    }

    void checkInvariants()
    {
        const Application& a = *app;
        screensSeen.insert(a.screen);
        EXPECT_TRUE(a.screen >= MainMenu && a.screen <= ConfirmEnd) << a.screen;
        EXPECT_EQ(a.game != nullptr, a.screen == InGame || a.screen == ConfirmEnd);
        EXPECT_EQ(a.shownHighscores != nullptr, a.screen == HighscoreList);
        // A difficulty chosen for another variant would end the process with status 6.
        EXPECT_TRUE(a.variant >= 0 && a.variant <= 3 && (a.screen != ChooseDifficulty || a.variant == 2)) << a.variant;
        if (a.shownHighscores)
            checkList(*a.shownHighscores);
        if (a.game && variantOf(a.game) == GetParam())
            statesSeen.insert(a.game->state);
        if (a.game)
            checkGame(*a.game, a.variant, a.screen);
    }

    // What the entry function does around the Application; ending it deletes a running game.
    void startProgram()
    {
        SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO);
        TTF_Init();
        continueButton = SDL_Rect{0, 0, 0, 0};  // process-wide: a new program must not see the last one's
        app = std::make_unique<Application>(32);
        app->draw();
    }
    void endProgram()
    {
        app.reset();
        TTF_Quit();
        SDL_Quit();
    }

    std::pair<ScreenState, int32_t> shown() const { return {app->screen, app->game ? app->game->state : -1}; }
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    bool chance(int percent) { return pick(0, 99) < percent; }
    template <typename T>
    const T& oneOf(const std::vector<T>& items)
    {
        return items[static_cast<size_t>(pick(0, static_cast<int>(items.size()) - 1))];
    }

    void click(int x, int y)
    {
        const auto cx = static_cast<int16_t>(x), cy = static_cast<int16_t>(y);
        if (app->screen != MainMenu || !pointInRect(cx, cy, app->quitButton))
            app->handleClick(cx, cy);
    }

    // A label drawn on this screen; repeated entries weigh the way to games of the walk's
    // variant and to their ends.
    void aimedClick()
    {
        Application& a = *app;
        std::vector<const SDL_Rect*> rects = {&a.backButton};  // also "Ja"
        const auto add = [&](const auto& choices, int times) {
            for (const SDL_Rect& r : choices)
                rects.insert(rects.end(), times, &r);
        };
        switch (a.screen) {
        case MainMenu:
            rects.insert(rects.end(), 8, &a.playButton);
            rects.insert(rects.end(), {&a.tilesetButton, &a.highscoresButton, &a.infoButton, &a.musicButton});
            break;
        case ChooseVariant:
            add(a.variantChoices, 2);
            rects.insert(rects.end(), 10, &a.variantChoices[GetParam()]);
            break;
        case ChooseColours: add(a.colourChoices, 2); break;
        case ChooseDifficulty: add(a.difficultyChoices, 2); break;
        case ChooseTileset: add(a.tilesetChoices, 2); break;
        case ChooseHighscores: add(a.highscoreChoices, 2); break;
        case ConfirmEnd: rects.insert(rects.end(), 3, &a.endGameButton); break;  // "Nein"
        case InGame:  // a pause label or "weiter" left from an earlier frame is just one more click
            rects.insert(rects.end(), {&a.endGameButton, &continueButton});
            if (auto* speed = dynamic_cast<SpeedGame*>(a.game))
                rects.push_back(&speed->pauseButton);
            if (auto* fallDown = dynamic_cast<FallDownGame*>(a.game))
                rects.push_back(&fallDown->pauseButton);
            break;
        default: break;
        }
        std::erase_if(rects, [](const SDL_Rect* r) { return r->w == 0; });  // not drawn on this screen
        if (rects.empty())
            return;
        const SDL_Rect& r = *oneOf(rects);
        click(r.x + pick(0, r.w - 1), r.y + pick(0, r.h - 1));
    }

    // Mostly on a group. Clicks queued behind a removal come with no frame between them, so the
    // second aims at the board as it was before the first.
    void tileClicks(int count)
    {
        std::vector<std::pair<int, int>> grouped;
        const Game& g = *app->game;
        for (int c = 0; c < BoardColumns; ++c)
            for (int r = 0; r < BoardRows; ++r)
                if (const auto v = g.cell(c, r);
                    v && ((c > 0 && g.cell(c - 1, r) == v) || (r > 0 && g.cell(c, r - 1) == v)))
                    grouped.emplace_back(c, r);
        for (int i = 0; i < count; ++i) {
            auto [c, r] = !grouped.empty() && chance(90) ? oneOf(grouped)
                                                         : std::pair{pick(0, BoardColumns - 1), pick(0, BoardRows - 1)};
            click(c * TileSize + pick(0, TileSize - 1), r * TileSize + pick(0, TileSize - 1));
        }
    }

    // Far beyond the window: the Application takes 16 bits, a game 32 of which it keeps the low 16.
    void farClick()
    {
        static const std::vector<int32_t> specials = {INT32_MIN, -65535, -32768, -1, 0, 575, 576, 599, 600, 799,
                                                      800, 32767, 65535, 65636, INT32_MAX};
        const auto coordinate = [&](int onScreen) {
            return chance(30) ? oneOf(specials)
                 : chance(50) ? static_cast<int32_t>(rng()) : pick(-30000, 30000) * 65536 + onScreen;
        };
        const int32_t x = coordinate(pick(0, 799)), y = coordinate(pick(0, 575));
        if (app->screen == InGame && chance(40))
            app->game->click(x, y);
        else
            click(x, y);
    }

    // Backspace (8), Return (13), Latin-1 letters, the list's separator and codes no key has;
    // now and then a burst.
    void keys()
    {
        static const std::vector<int> typical = {8, 8, 13, ';', 228, 252, 246, 223, 196, 'a', 'Z', '0', ' ', '~',
                                                 127, 31, 255, 256, 0, 65535};
        for (int i = chance(85) ? 1 : pick(2, 40); i > 0; --i)
            app->handleKey(static_cast<uint16_t>(chance(80) ? oneOf(typical) : pick(0, 65535)));
    }

    void oneEvent()
    {
        if (pick(0, 399) == 0) {  // Escape or the close button, then a fresh start
            endProgram();
            return startProgram();
        }
        const int32_t state = app->screen == InGame ? app->game->state : -1;
        if (state == Playing && chance(1))
            thinOut();
        // aimed, on a tile, two queued, anywhere, far out, keys, tick
        using Weights = std::array<int, 7>;
        const Weights weights = state == Playing || state == Paused ? Weights{3, 45, 8, 6, 4, 2, 21}
                              : state == NameEntry ? Weights{25, 0, 3, 8, 4, 44, 4} : Weights{65, 0, 3, 13, 5, 4, 5};
        int chosen = pick(0, std::accumulate(weights.begin(), weights.end(), 0) - 1), kind = 0;
        while (chosen >= weights[kind])
            chosen -= weights[kind++];
        switch (kind) {
        case 0: return aimedClick();
        case 1: return tileClicks(1);
        case 2: return state == Playing ? tileClicks(2) : (aimedClick(), aimedClick());
        case 3: return click(pick(-60, 860), pick(-60, 660));
        case 4: return farClick();
        case 5: return keys();
        default:
            clock.advance(static_cast<uint32_t>(chance(5) ? pick(10000, 4000000) : pick(500, 1500)));
            app->handleTick();
        }
    }

    // A new game and each Standard level deal from the wall clock; later boards of Speed and
    // FallDown come from rand(), which the walk has seeded. New boards are thinned now and then,
    // so that games end after a few clicks.
    void dealNewBoardsAgain()
    {
        Game& g = *app->game;
        auto* standard = dynamic_cast<StandardGame*>(&g);
        const int level = standard ? standard->level : 0, colours = standard ? level + 1 : g.colourCount;
        const bool newGame = &g != lastGame;
        const bool newBoard = g.state == Playing && (standard ? level != lastLevel : colours != lastColours);
        if (newGame || (standard && newBoard)) {
            if (variantOf(&g) == 1)
                g.gravityRow = toInt16(pick(0, BoardRows - 1)), g.gravityColumn = toInt16(pick(0, BoardColumns - 1));
            const int emptyTopRows = variantOf(&g) == 3 ? 3 : 0;
            for (int i = 0; i < BoardCells; ++i)
                g.board[i] = i % BoardRows < emptyTopRows ? 0 : static_cast<uint16_t>(pick(1, colours));
        }
        if ((newGame || newBoard) && chance(50))
            thinOut();
        lastLevel = level, lastColours = colours;
    }

    // Keeps one small block of the board.
    void thinOut()
    {
        const int width = pick(1, 6), height = pick(1, 4);
        const int left = pick(0, BoardColumns - width), top = pick(3, BoardRows - height);
        for (int c = 0; c < BoardColumns; ++c)
            for (int r = 0; r < BoardRows; ++r)
                if (c < left || c >= left + width || r < top || r >= top + height)
                    app->game->cell(c, r) = 0;
        app->game->collapse();
    }

    std::mt19937 rng;
    testing_support::FakeClock clock;
    std::unique_ptr<Application> app;
    bool redrawPending = false;
    const Game* lastGame = nullptr;
    int lastLevel = 0, lastColours = 0;
    std::set<int> screensSeen, statesSeen;
};

TEST_P(RandomPlay, KeepsEveryInvariantThroughThousandsOfRandomEvents)
{
    const int variant = GetParam();
    const char* events = std::getenv("KLAKORIA_STRESS_EVENTS");
    const int total = events && *events ? std::atoi(events) : DefaultEvents;
    std::vector<uint32_t> seeds;
    for (int i = 0; i * EventsPerWalk < total; ++i)
        seeds.push_back(static_cast<uint32_t>(4 * (1000 + i) + variant));
    if (const char* replay = std::getenv("KLAKORIA_STRESS_SEED"); replay && *replay)
        seeds = {static_cast<uint32_t>(std::strtoul(replay, nullptr, 10))};
    if (seeds.empty() || seeds[0] % 4 != static_cast<uint32_t>(variant))
        GTEST_SKIP() << "the replayed seed belongs to another variant";
    // "Ende" calls exit(0), which ctest would take for a pass: the walks leave it out, and any
    // other exit during a walk fails.
    static const bool exitGuarded = std::atexit([] {
        if (walkRunning)
            std::_Exit(1);
    }) == 0;
    ASSERT_TRUE(exitGuarded);

    for (uint32_t seed : seeds) {
        // Printed first, so that a crash or a sanitizer report names the walk too.
        std::cerr << "random walk seed " << seed << " (KLAKORIA_STRESS_SEED=" << seed << " replays it)\n";
        SCOPED_TRACE(testing::Message() << "random walk seed " << seed << ": KLAKORIA_STRESS_SEED=" << seed);
        walkRunning = true;
        walk(seed, std::min(total, EventsPerWalk));
        walkRunning = false;
        if (HasFailure())
            return;
    }
    // Walks that no longer reach every screen and the ends of games would check little.
    if (total < DefaultEvents || seeds.size() == 1)
        return;
    EXPECT_EQ(screensSeen.size(), 10u);
    const std::set<int> statesOf[] = {{Playing, LevelResults, GameResults, ShowHighscores, NameEntry},
                                      {Playing, GameResults, ShowHighscores, NameEntry},
                                      {Playing, GameResults, ShowHighscores, NameEntry, Paused},
                                      {Playing, GameResults, ShowHighscores, NameEntry, Paused}};
    EXPECT_EQ(statesSeen, statesOf[variant]);
}

INSTANTIATE_TEST_SUITE_P(EachVariant, RandomPlay, testing::Range(0, 4), [](const auto& info) {
    return std::string(std::array{"Standard", "Chaos", "Speed", "FallDown"}[static_cast<size_t>(info.param)]);
});

}  // namespace
