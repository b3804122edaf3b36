// Random play: seeded walks of thousands of events through the real Application, with the
// game's invariants checked after every event. Every board the game deals from the wall clock is
// dealt again from the walk's own generator, and rand() is seeded from it before each event, so
// a seed replays exactly.
//
//   KLAKORIA_STRESS_SEED=<n>    replays the one walk with that seed (printed before each walk)
//   KLAKORIA_STRESS_EVENTS=<n>  events per variant (default 3200, in walks of 800)

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <map>
#include <memory>
#include <numeric>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

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

using testing_support::FakeClock;
using testing_support::TempDataDir;

namespace {

constexpr int DefaultEventsPerVariant = 3200;
constexpr int EventsPerWalk = 800;
constexpr int DrawEvery = 4;  // a pending redraw is drawn at the latest after this many events

template <typename... Parts>
std::string str(const Parts&... parts)
{
    std::ostringstream out;
    (out << ... << parts);
    return out.str();
}

// "Ende" ends the process with exit(0), which ctest would take for a pass.
bool walkRunning = false;
void failOnExitDuringWalk()
{
    if (walkRunning) {
        std::fputs("the game ended the test process with exit() during a walk\n", stderr);
        std::_Exit(1);
    }
}

struct Seen {
    std::set<int> screens, states[4];  // states by the variant of the game
};

class RandomWalk {
public:
    RandomWalk(uint32_t seed, int preferredVariant, Seen& seen) : preferred(preferredVariant), rng(seed), seen(seen) {}

    // Stops at the first event after which an invariant fails, and names it and the ones before.
    void run(int events)
    {
        TempDataDir dir;
        FakeClock fakeClock;
        clock = &fakeClock;
        startProgram();
        for (eventNumber = 1; eventNumber <= events && !testing::Test::HasFailure(); ++eventNumber) {
            std::srand(static_cast<unsigned>(rng()));
            clock->advance(static_cast<uint32_t>(pick(0, 300)));
            const Shown before = shown();
            oneEvent();
            afterEvent(before);
        }
        endProgram();
#if defined(__SANITIZE_ADDRESS__)
        EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0) << "memory leaked (see the report above)";
#endif
        if (testing::Test::HasFailure())
            for (const std::string& line : log)
                std::cerr << "  " << line << "\n";
    }

private:
    using Shown = std::tuple<ScreenState, const Game*, int32_t>;
    Shown shown() const { return {app->screen, app->game, app->game ? app->game->state : -1}; }

    // What the entry function does around the Application. Ending it (Escape, the close button)
    // deletes a running game, which writes its list back.
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

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    bool chance(int percent) { return pick(0, 99) < percent; }
    template <typename T, size_t N>
    T oneOf(const T (&items)[N]) { return items[pick(0, static_cast<int>(N) - 1)]; }

    size_t weightedIndex(const std::vector<int>& weights)
    {
        int chosen = pick(0, std::accumulate(weights.begin(), weights.end(), 0) - 1);
        size_t i = 0;
        while (chosen >= weights[i])
            chosen -= weights[i++];
        return i;
    }

    void note(const std::string& text)
    {
        log.push_back(str("#", eventNumber, " screen ", app->screen, " state ", std::get<2>(shown()), ": ", text));
        if (log.size() > 25)
            log.pop_front();
    }

    void click(int x, int y, const char* what)
    {
        const auto cx = static_cast<int16_t>(x), cy = static_cast<int16_t>(y);
        if (app->screen == MainMenu && pointInRect(cx, cy, app->quitButton))
            return note("click on \"Ende\" left out");
        note(str(what, " (", cx, ", ", cy, ")"));
        app->handleClick(cx, cy);
    }

    // A rectangle that drawing has filled in on this screen; each kind of button as often as
    // the walk wants to follow it.
    void aimedClick()
    {
        Application& a = *app;
        std::vector<const SDL_Rect*> rects;
        std::vector<int> weights;
        const auto add = [&](const SDL_Rect& rect, int weight) {
            if (rect.w > 0) {  // never drawn, not aimed at
                rects.push_back(&rect);
                weights.push_back(weight);
            }
        };
        add(a.backButton, 1);  // "Ja" on the quit question
        switch (a.screen) {
        case MainMenu:
            for (auto [rect, weight] : {std::pair{&a.playButton, 8}, {&a.tilesetButton, 2}, {&a.highscoresButton, 2},
                                        {&a.infoButton, 1}, {&a.musicButton, 1}})
                add(*rect, weight);
            break;
        case ChooseVariant:
            for (int i = 0; i < 4; ++i)
                add(a.variantChoices[i], i == preferred ? 12 : 2);
            break;
        case ChooseColours: for (const SDL_Rect& r : a.colourChoices) add(r, 2); break;
        case ChooseDifficulty: for (const SDL_Rect& r : a.difficultyChoices) add(r, 2); break;
        case ChooseTileset: for (const SDL_Rect& r : a.tilesetChoices) add(r, 2); break;
        case ChooseHighscores: for (const SDL_Rect& r : a.highscoreChoices) add(r, 2); break;
        case ConfirmEnd: add(a.endGameButton, 3); break;  // "Nein"
        case InGame:
            if (a.game->state == Playing) {
                add(a.endGameButton, 1);
                if (auto* speed = dynamic_cast<SpeedGame*>(a.game))
                    add(speed->pauseButton, 1);
                if (auto* fallDown = dynamic_cast<FallDownGame*>(a.game))
                    add(fallDown->pauseButton, 1);
            } else if (a.game->state != ShowHighscores) {
                add(continueButton, 1);
            }
            break;
        default: break;
        }
        if (rects.empty())
            return click(pick(-60, 860), pick(-60, 660), "anywhere");
        const SDL_Rect& r = *rects[weightedIndex(weights)];
        click(r.x + pick(0, std::max(0, r.w - 1)), r.y + pick(0, std::max(0, r.h - 1)), "aimed");
    }

    // Clicks that arrive while the removal animation runs are handled one after the other with
    // no frame between them: a queued pair aims at the board as it was before the first.
    void tileClicks(int count)
    {
        std::vector<std::pair<int, int>> groupCells;
        const Game& g = *app->game;
        for (int c = 0; c < BoardColumns; ++c)
            for (int r = 0; r < BoardRows; ++r) {
                const uint16_t v = g.cell(c, r);
                if (v != 0 && ((c > 0 && g.cell(c - 1, r) == v) || (r > 0 && g.cell(c, r - 1) == v) ||
                               (c + 1 < BoardColumns && g.cell(c + 1, r) == v) ||
                               (r + 1 < BoardRows && g.cell(c, r + 1) == v)))
                    groupCells.emplace_back(c, r);
            }
        for (int i = 0; i < count; ++i) {
            auto [c, r] = std::pair{pick(0, BoardColumns - 1), pick(0, BoardRows - 1)};
            if (!groupCells.empty() && chance(90))
                std::tie(c, r) = groupCells[static_cast<size_t>(pick(0, static_cast<int>(groupCells.size()) - 1))];
            click(c * TileSize + pick(0, TileSize - 1), r * TileSize + pick(0, TileSize - 1), "on a cell");
        }
    }

    // Far beyond the window: the Application takes 16 bits, the game 32 of which it keeps the low 16.
    void farClick()
    {
        static const int32_t specials[] = {INT32_MIN, -65535, -32768, -1, 0, 575, 576, 599, 600, 799, 800, 32767, 65535,
                                           65536 + 100, INT32_MAX};
        const auto coordinate = [&](int onScreen) {
            return chance(30) ? oneOf(specials)
                              : chance(50) ? static_cast<int32_t>(rng()) : pick(-30000, 30000) * 65536 + onScreen;
        };
        const int32_t x = coordinate(pick(0, 799)), y = coordinate(pick(0, 575));
        if (app->screen != InGame || chance(60))
            return click(x, y, "far out");
        note(str("game click (", x, ", ", y, ")"));
        app->game->click(x, y);
    }

    // Editing keys, Latin-1 letters, the list's separator and codes no key has; now and then a burst.
    void keys()
    {
        static const int typical[] = {8,   8,   13, ';', 228, 252, 246, 223, 196, 'a',  // 8 Backspace, 13 Return
                                      'Z', '0', ' ', '~', 127, 31,  255, 256, 0,   65535};
        for (int i = chance(85) ? 1 : pick(2, 40); i > 0; --i) {
            const int code = chance(80) ? oneOf(typical) : pick(0, 65535);
            note(str("key ", code));
            app->handleKey(static_cast<uint16_t>(code));
        }
    }

    void tick()
    {
        clock->advance(static_cast<uint32_t>(chance(5) ? pick(10000, 4000000) : pick(500, 1500)));
        note("tick");
        app->handleTick();
    }

    void oneEvent()
    {
        if (pick(0, 399) == 0) {  // Escape or the close button, then a fresh start
            note("the program ends and starts again");
            endProgram();
            return startProgram();
        }
        const int32_t state = app->screen == InGame ? app->game->state : -1;
        if (state == Playing && chance(1))
            thinOut();
        // Weights of aimed, tile, queued, anywhere and far clicks, keys and ticks by what is on
        // screen: -1 the menus, and the result screens of a finished game apart.
        static const std::map<int32_t, std::vector<int>> weightsByState = {
            {Playing, {3, 45, 8, 6, 4, 2, 21}},
            {Paused, {5, 20, 0, 10, 2, 3, 10}},
            {NameEntry, {25, 0, 3, 8, 4, 44, 4}},
            {-1, {70, 0, 3, 12, 4, 4, 5}}};
        static const std::vector<int> results = {60, 0, 4, 14, 6, 5, 5};
        const auto weights = weightsByState.find(state);
        switch (weightedIndex(weights == weightsByState.end() ? results : weights->second)) {
        case 0: aimedClick(); break;
        case 1: tileClicks(1); break;
        case 2:
            if (state == Playing)
                tileClicks(2);
            else
                aimedClick(), aimedClick();
            break;
        case 3: click(pick(-60, 860), pick(-60, 660), "anywhere"); break;
        case 4: farClick(); break;
        case 5: keys(); break;
        default: tick(); break;
        }
    }

    // A new screen is drawn at once, so that the buttons aimed at next are the ones on screen;
    // other redraw requests wait a few events, as drawing is the expensive part.
    void afterEvent(const Shown& before)
    {
        for (SDL_Event event; SDL_PollEvent(&event);)
            redrawPending = redrawPending || event.type == SDL_USEREVENT;
        checkInvariants();
        if (testing::Test::HasFailure())
            return;
        dealNewBoardsAgain();
        if (shown() != before || (redrawPending && ++eventsSinceDraw >= DrawEvery)) {
            app->draw();
            redrawPending = false;
            eventsSinceDraw = 0;
        }
    }

    // A new game deals from the wall clock, and so does each Standard level; Speed and FallDown
    // deal later boards from rand(), which the walk has seeded.
    void dealNewBoardsAgain()
    {
        Game* g = app->game;
        auto* standard = dynamic_cast<StandardGame*>(g);
        const bool newGame = g && g != lastGame;
        const bool newLevel = standard && !newGame && standard->level != lastLevel && g->state == Playing;
        const bool moreColours = g && !standard && !newGame && g->colourCount != lastColourCount && g->state == Playing;
        if (newGame || newLevel) {
            if (dynamic_cast<ChaosGame*>(g)) {
                g->gravityRow = static_cast<int16_t>(pick(0, BoardRows - 1));
                g->gravityColumn = static_cast<int16_t>(pick(0, BoardColumns - 1));
            }
            const int colours = standard ? standard->level + 1 : g->colourCount;
            const int emptyTopRows = dynamic_cast<FallDownGame*>(g) ? 3 : 0;
            for (int c = 0; c < BoardColumns; ++c)
                for (int r = 0; r < BoardRows; ++r)
                    g->cell(c, r) = r < emptyTopRows ? 0 : static_cast<uint16_t>(pick(1, colours));
            note("board dealt again");
        }
        if ((newGame || newLevel || moreColours) && chance(50))
            thinOut();
        lastGame = g;
        lastLevel = standard ? standard->level : 0;
        lastColourCount = g ? g->colourCount : 0;
    }

    // Keeps a small block of the board, so that boards end after a few clicks and the walk
    // reaches the ends of games.
    void thinOut()
    {
        Game& g = *app->game;
        const int width = pick(1, 6), height = pick(1, 4);
        const int left = pick(0, BoardColumns - width), top = pick(3, BoardRows - height);
        for (int c = 0; c < BoardColumns; ++c)
            for (int r = 0; r < BoardRows; ++r)
                if (c < left || c >= left + width || r < top || r >= top + height)
                    g.cell(c, r) = 0;
        g.collapse();
        note(str("board thinned to ", width, " x ", height));
    }

    void checkInvariants()
    {
        const Application& a = *app;
        SCOPED_TRACE(str("after event ", eventNumber, " on screen ", a.screen));
        seen.screens.insert(a.screen);
        EXPECT_TRUE(a.screen >= MainMenu && a.screen <= ConfirmEnd);
        EXPECT_EQ(a.game != nullptr, a.screen == InGame || a.screen == ConfirmEnd) << "a game";
        EXPECT_EQ(a.shownHighscores != nullptr, a.screen == HighscoreList) << "the menu's list";
        EXPECT_TRUE(a.variant >= 0 && a.variant <= 3) << a.variant;
        // A difficulty chosen for another variant ends the process with status 6.
        EXPECT_FALSE(a.screen == ChooseDifficulty && a.variant != 2) << "the difficulty screen for " << a.variant;
        if (a.shownHighscores)
            checkList(*a.shownHighscores);
        if (a.game && !testing::Test::HasFailure())
            checkGame(*a.game);
    }

    static void checkList(const HighscoreTable& table)
    {
        const auto& rows = table.entries;
        ASSERT_EQ(table.capacity, 10);
        ASSERT_EQ(rows.size(), 10u);
        const auto better = [](const auto& x, const auto& y) { return x.score > y.score; };
        EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), better)) << table.title << " is not sorted best first";
        for (const auto& row : rows)
            EXPECT_EQ(row.name.find(';'), std::string::npos) << table.title << " holds a name with ';'";
    }

    // Counters in their ranges, cells holding 0 or a colour of the game, the states the variant knows.
    void checkGame(const Game& g)
    {
        const int colours = g.colourCount;
        int variant = 3, highestColour = std::min(colours, 7);  // timed variants count 8 once the last board is done
        if (auto* standard = dynamic_cast<const StandardGame*>(&g)) {
            variant = 0;
            highestColour = standard->level + 1;
            EXPECT_TRUE(standard->level >= 1 && standard->level <= StandardGame::LastLevel) << standard->level;
        } else if (dynamic_cast<const ChaosGame*>(&g)) {
            variant = 1;
            EXPECT_TRUE(colours >= 2 && colours <= 5) << "Chaos with " << colours << " colours";
        } else if (auto* speed = dynamic_cast<const SpeedGame*>(&g)) {
            variant = 2;
            EXPECT_TRUE(colours >= 2 && colours <= 8 && speed->difficulty >= 0 && speed->difficulty <= 2)
                << "Speed with " << colours << " colours at difficulty " << speed->difficulty;
        } else {
            const auto* fallDown = dynamic_cast<const FallDownGame*>(&g);
            ASSERT_NE(fallDown, nullptr) << "a game of no known variant";
            EXPECT_TRUE(colours >= 4 && colours <= 8 && fallDown->refillColumn >= 0 &&
                        fallDown->refillColumn <= BoardColumns && (!fallDown->won || colours == 8))
                << "FallDown with " << colours << " colours, refill column " << fallDown->refillColumn << ", won "
                << fallDown->won;
        }
        const bool levels = variant == 0, pauses = variant >= 2;
        EXPECT_FALSE(colours >= 8 && g.state == Playing) << "playing with " << colours << " colours";
        EXPECT_TRUE(g.state >= Playing && g.state <= Paused && (levels || g.state != LevelResults) &&
                    (pauses || g.state != Paused))
            << "game state " << g.state;
        seen.states[variant].insert(g.state);
        EXPECT_TRUE(g.gravityRow >= 0 && g.gravityRow < BoardRows && g.gravityColumn >= 0 &&
                    g.gravityColumn < BoardColumns)
            << "gravity at row " << g.gravityRow << ", column " << g.gravityColumn;
        const auto highest = std::max_element(g.board.begin(), g.board.end());
        EXPECT_LE(*highest, highestColour) << "in cell " << highest - g.board.begin() << " (column * 18 + row)";
        ASSERT_NE(g.highscores, nullptr);
        checkList(*g.highscores);
        EXPECT_EQ(g.playerName.find(';'), std::string::npos) << "the typed name holds a ';'";
        EXPECT_FALSE(g.state == NameEntry && !g.highscores->qualifies(g.finalScore))
            << "name entry for " << g.finalScore << " points, which do not make the list";
        EXPECT_FALSE(g.state == Paused && g.startTicks != 0) << "paused with the clock running";
        // "(ende)" reacts only to a game being played, and pauses the variants that pause.
        EXPECT_FALSE(app->screen == ConfirmEnd && g.state != (pauses ? Paused : Playing))
            << "the quit question stands over game state " << g.state;
    }

    int preferred;
    std::mt19937 rng;
    Seen& seen;
    FakeClock* clock = nullptr;
    std::unique_ptr<Application> app;
    int eventNumber = 0;
    std::deque<std::string> log;
    bool redrawPending = false;
    int eventsSinceDraw = 0;
    const Game* lastGame = nullptr;
    int lastLevel = 0;
    int lastColourCount = 0;
};

class RandomPlay : public testing::TestWithParam<int> {};

// Seed s prefers variant s % 4 on the variant screen, so a replayed seed runs in its variant's test.
TEST_P(RandomPlay, KeepsEveryInvariantThroughThousandsOfRandomEvents)
{
    const int variant = GetParam();
    const char* events = std::getenv("KLAKORIA_STRESS_EVENTS");
    const int total = events && *events ? std::atoi(events) : DefaultEventsPerVariant;
    std::vector<uint32_t> seeds;
    for (int i = 0; i * EventsPerWalk < total; ++i)
        seeds.push_back(static_cast<uint32_t>(4 * (1000 + i) + variant));
    if (const char* replay = std::getenv("KLAKORIA_STRESS_SEED"); replay && *replay)
        seeds = {static_cast<uint32_t>(std::strtoul(replay, nullptr, 10))};
    if (seeds.empty() || seeds[0] % 4 != static_cast<uint32_t>(variant))
        GTEST_SKIP() << "the replayed seed belongs to another variant";
    static const bool exitGuarded = std::atexit(failOnExitDuringWalk) == 0;
    ASSERT_TRUE(exitGuarded);

    Seen seen;
    for (uint32_t seed : seeds) {
        // Printed first, so that a crash or a sanitizer report names the walk too.
        std::cerr << "random walk seed " << seed << " (KLAKORIA_STRESS_SEED=" << seed << " replays it)\n";
        SCOPED_TRACE(str("random walk seed ", seed, ": KLAKORIA_STRESS_SEED=", seed, " replays it"));
        walkRunning = true;
        RandomWalk(seed, variant, seen).run(std::min(total, EventsPerWalk));
        walkRunning = false;
        if (HasFailure())
            return;
    }
    // A walk that no longer reaches the ends of games would check little: with the full count
    // of events every screen and every state of the variant must have been seen.
    if (total < DefaultEventsPerVariant || seeds.size() == 1)
        return;
    EXPECT_EQ(seen.screens.size(), 10u) << "screens seen";
    std::set<int> expectedStates = {Playing, GameResults, ShowHighscores, NameEntry};
    if (variant == 0)
        expectedStates.insert(LevelResults);
    if (variant >= 2)
        expectedStates.insert(Paused);
    EXPECT_EQ(seen.states[variant], expectedStates);
}

std::string variantName(const testing::TestParamInfo<int>& info)
{
    return std::array{"Standard", "Chaos", "Speed", "FallDown"}[static_cast<size_t>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(EachVariant, RandomPlay, testing::Range(0, 4), variantName);

}  // namespace
