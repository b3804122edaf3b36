// Random play: seeded walks of thousands of events through the real Application (clicks on the
// drawn buttons and on groups, clicks anywhere and far beyond the window, keys, ticks, queued
// clicks), with the game's invariants checked after every event. The walks are deterministic:
// every board the game deals from the wall clock is dealt again from the walk's own generator,
// and rand() is seeded from it before each event.
//
//   KLAKORIA_STRESS_SEED=<n>    replays the one walk with that seed (printed on a failure)
//   KLAKORIA_STRESS_EVENTS=<n>  events per variant (default 3200, in walks of 800)

#include <SDL_ttf.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iostream>
#include <limits>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
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
#include <sanitizer/common_interface_defs.h>
#include <sanitizer/lsan_interface.h>
#endif

using testing_support::FakeClock;
using testing_support::TempDataDir;

namespace {

constexpr int DefaultEventsPerVariant = 3200;
constexpr int EventsPerWalk = 800;
constexpr int DrawEvery = 4;  // a pending redraw is drawn at the latest after this many events
constexpr int Backspace = 8;
constexpr int Return = 13;

int environmentNumber(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::atoi(value) : fallback;
}

// ---- A walk that ends the process or crashes still names its seed ----------------------------

volatile sig_atomic_t walkRunning = 0;
char walkBanner[128] = "";

void writeBanner()
{
    if (walkRunning)
        (void)!write(2, walkBanner, std::strlen(walkBanner));
}

void onExitDuringWalk()
{
    if (!walkRunning)
        return;
    writeBanner();
    const char message[] = "the game ended the test process with exit()\n";
    (void)!write(2, message, sizeof message - 1);
    _exit(1);
}

#if !defined(__SANITIZE_ADDRESS__)
void onFatalSignal(int signal)
{
    writeBanner();
    raise(signal);  // the handler was reset, so this ends the process as the signal would have
}
#endif

void installCrashReporters()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    std::atexit(onExitDuringWalk);
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(writeBanner);
#else
    struct sigaction action {};
    action.sa_handler = onFatalSignal;
    action.sa_flags = SA_RESETHAND;
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        sigaction(signal, &action, nullptr);
#endif
}

// ---- What a walk saw, summed over the walks of one variant ------------------------------------

struct Coverage {
    std::set<int> screens;
    std::set<int> gameStates[4];  // by the variant of the game
    int events = 0;
    int draws = 0;
    int gamesStarted = 0;
    int gamesFinished = 0;   // reached GameResults
    int namesEntered = 0;    // NameEntry -> ShowHighscores
    int steeredAroundEnde = 0;
};

// ---- The walk --------------------------------------------------------------------------------

class RandomWalk {
public:
    RandomWalk(uint32_t seed, int preferredVariant, Coverage& coverage)
        : preferredVariant(preferredVariant), rng(seed), coverage(coverage)
    {
    }

    // Returns an empty string when every invariant held after every event.
    std::string run(int events)
    {
        TempDataDir dir;
        FakeClock fakeClock;
        clock = &fakeClock;
        dataDir = &dir;
        startProgram();

        for (eventNumber = 1; eventNumber <= events && problem.empty(); ++eventNumber) {
            std::srand(static_cast<unsigned>(rng()));
            clock->advance(static_cast<uint32_t>(pick(0, 300)));
            const Snapshot before = snapshot();
            oneEvent();
            afterEvent(before);
            ++coverage.events;
        }
        if (app)
            endProgram();
        if (problem.empty() && leaked())
            fail("memory leaked (see the report above)");
        return problem;
    }

    const std::deque<std::string>& recentEvents() const { return log; }
    int failedEvent() const { return eventNumber; }

private:
    struct Snapshot {
        ScreenState screen;
        const Game* game;
        int32_t state;
        std::string playerName;
        int32_t finalScore;
    };

    // ---- the program's life: what the entry function does around the Application ----

    void startProgram()
    {
        SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO);
        TTF_Init();
        // A process-wide rectangle; a new program must not see the last one's label.
        continueButton = SDL_Rect{0, 0, 0, 0};
        app = std::make_unique<Application>(32);
        drainEvents();
        drawNow();
        remember();
    }

    // Escape or the window's close button: the Application goes, and with it a running game,
    // which writes its list back.
    void endProgram()
    {
        app.reset();
        TTF_Quit();
        SDL_Quit();
        if (problem.empty())
            checkListFiles(*dataDir);
    }

    void restartProgram()
    {
        log.push_back("#" + std::to_string(eventNumber) + ": the program ends and starts again");
        endProgram();
        if (problem.empty())
            startProgram();
    }

    static bool leaked()
    {
#if defined(__SANITIZE_ADDRESS__)
        return __lsan_do_recoverable_leak_check() != 0;
#else
        return false;
#endif
    }

    // ---- random helpers ----
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    bool chance(int percent) { return pick(0, 99) < percent; }

    template <typename T>
    const T& oneOf(const std::vector<T>& items)
    {
        return items[static_cast<size_t>(pick(0, static_cast<int>(items.size()) - 1))];
    }

    // One of items (not empty, with weights above 0), each as likely as its weight says.
    template <typename T>
    const T& weighted(const std::vector<T>& items)
    {
        int total = 0;
        for (const T& item : items)
            total += item.weight;
        int chosen = pick(0, total - 1);
        for (const T& item : items) {
            if (chosen < item.weight)
                return item;
            chosen -= item.weight;
        }
        return items.back();
    }

    // ---- event log ----
    void note(const std::string& text)
    {
        std::ostringstream line;
        line << "#" << eventNumber << " screen " << app->screen;
        if (app->game)
            line << " state " << app->game->state;
        line << ": " << text;
        log.push_back(line.str());
        if (log.size() > 25)
            log.pop_front();
    }

    void fail(const std::string& text)
    {
        if (problem.empty())
            problem = text;
    }

    // ---- input through the Application ----

    // The main menu's "Ende" ends the process at once; the walk goes around it.
    bool wouldQuit(int16_t x, int16_t y) const
    {
        return app->screen == MainMenu && pointInRect(x, y, app->quitButton);
    }

    void click(int x, int y, const std::string& what)
    {
        const int16_t cx = static_cast<int16_t>(x);
        const int16_t cy = static_cast<int16_t>(y);
        if (wouldQuit(cx, cy)) {
            ++coverage.steeredAroundEnde;
            note("click (" + std::to_string(cx) + ", " + std::to_string(cy) + ") on \"Ende\" left out");
            return;
        }
        // A difficulty with another variant ends the process with status 6; the screens must
        // never let that happen.
        if (app->screen == ChooseDifficulty && app->variant != 2)
            fail("the difficulty screen is shown for variant " + std::to_string(app->variant));
        note(what + " (" + std::to_string(cx) + ", " + std::to_string(cy) + ")");
        app->handleClick(cx, cy);
    }

    void clickInside(const SDL_Rect& rect, const std::string& what)
    {
        click(rect.x + pick(0, std::max(0, rect.w - 1)), rect.y + pick(0, std::max(0, rect.h - 1)), what);
    }

    void clickCell(int column, int row, const std::string& what)
    {
        click(column * TileSize + pick(0, TileSize - 1), row * TileSize + pick(0, TileSize - 1), what);
    }

    void key(int code)
    {
        note("key " + std::to_string(code));
        app->handleKey(static_cast<uint16_t>(code));
    }

    void tick()
    {
        clock->advance(static_cast<uint32_t>(pick(500, 1500)));
        note("tick");
        app->handleTick();
    }

    // ---- choosing an event ----

    struct Target {
        const SDL_Rect* rect;
        const char* name;
        int weight;
    };

    std::vector<Target> targets()
    {
        Application& a = *app;
        std::vector<Target> t;
        auto choices = [&](const SDL_Rect* rects, int count, const char* name, int weight) {
            for (int i = 0; i < count; ++i)
                t.push_back({&rects[i], name, weight});
        };
        switch (a.screen) {
        case MainMenu:
            t = {{&a.playButton, "Spielen", 8}, {&a.tilesetButton, "TileSet", 2}, {&a.highscoresButton, "Highscores", 2},
                 {&a.infoButton, "Info", 1}, {&a.musicButton, "music", 1}};
            break;
        case ChooseVariant:
            for (int i = 0; i < 4; ++i)
                t.push_back({&a.variantChoices[i], "variant", i == preferredVariant ? 12 : 2});
            t.push_back({&a.backButton, "back", 1});
            break;
        case ChooseColours:
            choices(a.colourChoices, 4, "colours", 2);
            t.push_back({&a.backButton, "back", 1});
            break;
        case ChooseDifficulty:
            choices(a.difficultyChoices, 3, "difficulty", 2);
            t.push_back({&a.backButton, "back", 1});
            break;
        case ChooseTileset:
            choices(a.tilesetChoices, 5, "tileset", 2);
            t.push_back({&a.backButton, "back", 1});
            break;
        case ChooseHighscores:
            choices(a.highscoreChoices, 4, "highscores of", 2);
            t.push_back({&a.backButton, "back", 1});
            break;
        case Info:
        case HighscoreList:
            t.push_back({&a.backButton, "back", 1});
            break;
        case ConfirmEnd:
            t = {{&a.backButton, "Ja", 1}, {&a.endGameButton, "Nein", 3}};
            break;
        case InGame:
            switch (a.game->state) {
            case Playing:
                t.push_back({&a.endGameButton, "(ende)", 1});
                if (auto* speed = dynamic_cast<SpeedGame*>(a.game))
                    t.push_back({&speed->pauseButton, "(pause)", 1});
                if (auto* fallDown = dynamic_cast<FallDownGame*>(a.game))
                    t.push_back({&fallDown->pauseButton, "(pause)", 1});
                break;
            case ShowHighscores:
                t.push_back({&a.backButton, "back", 1});
                break;
            default:
                t.push_back({&continueButton, "weiter", 1});
                break;
            }
            break;
        }
        // A rectangle that was never drawn cannot be aimed at.
        t.erase(std::remove_if(t.begin(), t.end(), [](const Target& x) { return x.rect->w == 0; }), t.end());
        return t;
    }

    void aimedClick()
    {
        const std::vector<Target> t = targets();
        if (t.empty()) {
            randomClick();
            return;
        }
        const Target& target = weighted(t);
        clickInside(*target.rect, std::string("on ") + target.name);
    }

    // Cells of removable groups; on an empty list any cell.
    std::vector<std::pair<int, int>> groupCells() const
    {
        std::vector<std::pair<int, int>> cells;
        const Game& g = *app->game;
        for (int c = 0; c < BoardColumns; ++c)
            for (int r = 0; r < BoardRows; ++r) {
                const uint16_t v = g.cell(c, r);
                if (v == 0)
                    continue;
                if ((c > 0 && g.cell(c - 1, r) == v) || (r > 0 && g.cell(c, r - 1) == v) ||
                    (c + 1 < BoardColumns && g.cell(c + 1, r) == v) || (r + 1 < BoardRows && g.cell(c, r + 1) == v))
                    cells.emplace_back(c, r);
            }
        return cells;
    }

    void tileClick()
    {
        const auto cells = groupCells();
        if (cells.empty() || chance(10)) {
            clickCell(pick(0, BoardColumns - 1), pick(0, BoardRows - 1), "on a cell");
            return;
        }
        const auto [c, r] = oneOf(cells);
        clickCell(c, r, "on a group");
    }

    void randomClick() { click(pick(-60, 860), pick(-60, 660), "anywhere"); }

    void wildClick()
    {
        static const std::vector<int> edges = {-32768, -32767, -1, 0, 799, 800, 575, 576, 599, 600, 32767};
        const int x = chance(30) ? oneOf(edges) : pick(-32768, 32767);
        const int y = chance(30) ? oneOf(edges) : pick(-32768, 32767);
        click(x, y, "far out");
    }

    // The game takes 32-bit coordinates and uses their low 16 bits.
    void directWildClick()
    {
        static const std::vector<int64_t> specials = {std::numeric_limits<int32_t>::min(),
                                                      std::numeric_limits<int32_t>::max(), 65536 + 100, -65536 + 40,
                                                      65535, -65535, 0x7FFF8000};
        auto coordinate = [&](int onBoard) -> int32_t {
            switch (pick(0, 2)) {
            case 0: return static_cast<int32_t>(oneOf(specials));
            case 1: return static_cast<int32_t>(static_cast<int64_t>(pick(-30000, 30000)) * 65536 + onBoard);
            default: return static_cast<int32_t>(rng());
            }
        };
        const int32_t x = coordinate(pick(0, 799));
        const int32_t y = coordinate(pick(0, 575));
        note("game click (" + std::to_string(x) + ", " + std::to_string(y) + ")");
        app->game->click(x, y);
    }

    // Clicks that arrive while the removal animation runs are handled one after the other,
    // with no frame between them: both aim at the board as it was before the first.
    void queuedClicks()
    {
        if (app->screen == InGame && app->game->state == Playing) {
            const auto cells = groupCells();
            if (cells.size() >= 2) {
                const auto first = oneOf(cells);
                const auto second = oneOf(cells);
                clickCell(first.first, first.second, "queued on a group");
                clickCell(second.first, second.second, "queued on a group");
                return;
            }
        }
        aimedClick();
        if (chance(50))
            aimedClick();
        else
            randomClick();
    }

    void typedKey()
    {
        static const std::vector<int> keys = {Backspace, Backspace, Return, ';', 228, 252, 246, 223, 196, 'a',
                                              'Z',       '0',       ' ',    '~', 127, 31,  255, 256, 0,   65535};
        key(chance(80) ? oneOf(keys) : pick(0, 65535));
    }

    void keyBurst()
    {
        const int count = pick(1, 40);
        for (int i = 0; i < count; ++i)
            key(chance(85) ? pick(32, 255) : Backspace);
    }

    void jumpInTime()
    {
        clock->advance(static_cast<uint32_t>(pick(10000, 4000000)));
        note("time jump");
    }

    void explicitDraw()
    {
        note("draw");
        drawNow();
    }

    void oneEvent()
    {
        // Escape or the close button, in whatever screen, now and then; the walk then starts
        // the program again.
        if (pick(0, 399) == 0) {
            restartProgram();
            return;
        }
        // Boards that end after a few clicks bring the walk to the ends of games.
        if (app->screen == InGame && app->game->state == Playing && pick(0, 99) == 0)
            thinOut();
        enum Kind { Aimed, Tile, Anywhere, FarOut, GameClick, Queued, Key, Burst, Tick, Jump, Draw };
        struct Weighted {
            Kind kind;
            int weight;
        };
        std::vector<Weighted> menu;
        const int32_t state = app->game && app->screen == InGame ? app->game->state : -1;
        switch (state) {
        case Playing:
            menu = {{Aimed, 3},  {Tile, 45}, {Anywhere, 6}, {FarOut, 2}, {GameClick, 2}, {Queued, 8},
                    {Key, 2},    {Tick, 20}, {Jump, 1},     {Draw, 3}};
            break;
        case Paused:
            menu = {{Tile, 20}, {Anywhere, 10}, {Aimed, 5}, {Key, 3}, {Tick, 10}, {GameClick, 2}, {Draw, 2}};
            break;
        case NameEntry:
            menu = {{Key, 40}, {Burst, 4}, {Aimed, 25}, {Anywhere, 8}, {FarOut, 2}, {GameClick, 2}, {Tick, 4},
                    {Queued, 3}};
            break;
        case -1:
            menu = {{Aimed, 70}, {Anywhere, 12}, {FarOut, 4}, {Key, 4}, {Tick, 5}, {Draw, 3}, {Queued, 3}};
            break;
        default:  // the result screens and the list of a finished game
            menu = {{Aimed, 60}, {Anywhere, 14}, {FarOut, 3}, {GameClick, 3}, {Key, 5}, {Tick, 5}, {Queued, 4},
                    {Draw, 2}};
            break;
        }
        const Kind kind = weighted(menu).kind;
        switch (kind) {
        case Aimed: aimedClick(); break;
        case Tile: tileClick(); break;
        case Anywhere: randomClick(); break;
        case FarOut: wildClick(); break;
        case GameClick: directWildClick(); break;
        case Queued: queuedClicks(); break;
        case Key: typedKey(); break;
        case Burst: keyBurst(); break;
        case Tick: tick(); break;
        case Jump: jumpInTime(); break;
        case Draw: explicitDraw(); break;
        }
    }

    // ---- after every event ----

    Snapshot snapshot() const
    {
        const Game* g = app->game;
        return Snapshot{app->screen, g, g ? g->state : -1, g ? g->playerName : std::string(), g ? g->finalScore : 0};
    }

    void drainEvents()
    {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            redrawPending = redrawPending || event.type == SDL_USEREVENT;
    }

    void drawNow()
    {
        app->draw();
        redrawPending = false;
        eventsSinceDraw = 0;
        ++coverage.draws;
    }

    void afterEvent(const Snapshot& before)
    {
        drainEvents();
        if (!problem.empty())
            return;
        const Snapshot now = snapshot();
        if (now.game && now.game != before.game)
            startedGame();
        checkInvariants(before, now);
        if (!problem.empty())
            return;
        adjustNewBoards();
        remember();
        // Drawing is the expensive part: a new screen is drawn at once, so the buttons aimed at
        // next are the ones on screen; other redraw requests wait a few events.
        ++eventsSinceDraw;
        const bool newScreen = now.screen != before.screen || now.game != before.game || now.state != before.state;
        if (newScreen || (redrawPending && eventsSinceDraw >= DrawEvery))
            drawNow();
    }

    // The game dealt its first board from the wall clock; the walk deals it again from its own
    // generator so that a seed replays exactly.
    void startedGame()
    {
        ++coverage.gamesStarted;
        Game& g = *app->game;
        if (auto* standard = dynamic_cast<StandardGame*>(&g)) {
            dealAgain(standard->level + 1, 0);
        } else if (dynamic_cast<ChaosGame*>(&g)) {
            g.gravityRow = static_cast<int16_t>(pick(0, BoardRows - 1));
            g.gravityColumn = static_cast<int16_t>(pick(0, BoardColumns - 1));
            dealAgain(g.colourCount, 0);
        } else if (dynamic_cast<FallDownGame*>(&g)) {
            dealAgain(g.colourCount, 3);
        } else {
            dealAgain(g.colourCount, 0);
        }
        note("board dealt again");
        if (chance(50))
            thinOut();
    }

    void dealAgain(int colours, int emptyTopRows)
    {
        Game& g = *app->game;
        for (int c = 0; c < BoardColumns; ++c)
            for (int r = 0; r < BoardRows; ++r)
                g.cell(c, r) = r < emptyTopRows ? 0 : static_cast<uint16_t>(pick(1, colours));
    }

    // Keeps a small block of the board, so that boards end after a few clicks and the walk
    // reaches the ends of games.
    void thinOut()
    {
        Game& g = *app->game;
        const int width = pick(1, 6);
        const int height = pick(1, 4);
        const int left = pick(0, BoardColumns - width);
        const int top = pick(3, BoardRows - height);
        for (int c = 0; c < BoardColumns; ++c)
            for (int r = 0; r < BoardRows; ++r)
                if (c < left || c >= left + width || r < top || r >= top + height)
                    g.cell(c, r) = 0;
        g.collapse();
        note("board thinned to " + std::to_string(width) + " x " + std::to_string(height));
    }

    // Standard deals each level from the wall clock too; Speed and FallDown deal later boards
    // from rand(), which the walk has seeded.
    void adjustNewBoards()
    {
        Game* g = app->game;
        if (!g || g != lastGame)
            return;
        if (auto* standard = dynamic_cast<StandardGame*>(g)) {
            if (standard->level != lastLevel && standard->state == Playing) {
                dealAgain(standard->level + 1, 0);
                note("level dealt again");
                if (chance(60))
                    thinOut();
            }
        } else if (g->colourCount != lastColourCount && g->state == Playing && chance(50)) {
            thinOut();
        }
    }

    void remember()
    {
        lastGame = app->game;
        if (auto* standard = dynamic_cast<StandardGame*>(app->game))
            lastLevel = standard->level;
        lastColourCount = app->game ? app->game->colourCount : 0;
    }

    // ---- invariants ----

    void checkInvariants(const Snapshot& before, const Snapshot& now)
    {
        const Application& a = *app;
        if (a.screen < MainMenu || a.screen > ConfirmEnd)
            return fail("screen " + std::to_string(a.screen) + " is no ScreenState");
        coverage.screens.insert(a.screen);
        const bool gameScreen = a.screen == InGame || a.screen == ConfirmEnd;
        if ((a.game != nullptr) != gameScreen)
            return fail(std::string("a game ") + (a.game ? "exists" : "is missing") + " on screen " +
                        std::to_string(a.screen));
        if ((a.shownHighscores != nullptr) != (a.screen == HighscoreList))
            return fail("the menu's list " + std::string(a.shownHighscores ? "exists" : "is missing") + " on screen " +
                        std::to_string(a.screen));
        if (a.variant < 0 || a.variant > 3)
            return fail("variant " + std::to_string(a.variant));
        if (a.shownHighscores)
            checkList(*a.shownHighscores, "the menu's list");
        if (a.game)
            checkGame(*a.game, before, now);
    }

    void checkList(const HighscoreTable& table, const std::string& which)
    {
        if (table.capacity != 10 || table.entries.size() != 10)
            return fail(which + " has " + std::to_string(table.entries.size()) + " rows");
        for (size_t i = 0; i < table.entries.size(); ++i) {
            if (table.entries[i].name.find(';') != std::string::npos)
                return fail(which + ": row " + std::to_string(i) + " holds a ';': " + table.entries[i].name);
            if (i > 0 && table.entries[i - 1].score < table.entries[i].score)
                return fail(which + ": row " + std::to_string(i) + " scores more than the row above it");
        }
    }

    static int variantOf(const Game& g)
    {
        if (dynamic_cast<const StandardGame*>(&g))
            return 0;
        if (dynamic_cast<const ChaosGame*>(&g))
            return 1;
        return dynamic_cast<const SpeedGame*>(&g) ? 2 : 3;
    }

    // The highest colour a cell may hold, and the states the variant knows.
    struct Rules {
        int highestColour;
        std::string nameSuffix;
        bool levels;
        bool pauses;
    };

    Rules rulesOf(const Game& g)
    {
        if (auto* standard = dynamic_cast<const StandardGame*>(&g)) {
            if (standard->level < 1 || standard->level > StandardGame::LastLevel)
                fail("level " + std::to_string(standard->level));
            return {standard->level + 1, "", true, false};
        }
        if (dynamic_cast<const ChaosGame*>(&g)) {
            if (g.colourCount < 2 || g.colourCount > 5)
                fail("Chaos with " + std::to_string(g.colourCount) + " colours");
            return {g.colourCount, " (" + std::to_string(g.colourCount) + ")", false, false};
        }
        if (auto* speed = dynamic_cast<const SpeedGame*>(&g)) {
            static const char* const suffixes[] = {" (L)", " (M)", " (S)"};
            if (g.colourCount < 2 || g.colourCount > 8 || (g.colourCount > 7 && g.state == Playing))
                fail("Speed with " + std::to_string(g.colourCount) + " colours in state " + std::to_string(g.state));
            if (speed->difficulty < 0 || speed->difficulty > 2)
                fail("difficulty " + std::to_string(speed->difficulty));
            return {std::min<int>(g.colourCount, 7), suffixes[std::clamp<int>(speed->difficulty, 0, 2)], false, true};
        }
        auto* fallDown = dynamic_cast<const FallDownGame*>(&g);
        if (!fallDown) {
            fail("a game of no known variant");
            return {7, "", false, false};
        }
        if (g.colourCount < 4 || g.colourCount > 8 || (g.colourCount > 7 && g.state == Playing))
            fail("FallDown with " + std::to_string(g.colourCount) + " colours in state " + std::to_string(g.state));
        if (fallDown->refillColumn < 0 || fallDown->refillColumn > BoardColumns)
            fail("refill column " + std::to_string(fallDown->refillColumn));
        if (fallDown->won && g.colourCount != 8)
            fail("won with " + std::to_string(g.colourCount) + " colours");
        return {std::min<int>(g.colourCount, 7), "", false, true};
    }

    void checkGame(const Game& g, const Snapshot& before, const Snapshot& now)
    {
        const Rules rules = rulesOf(g);
        if (!problem.empty())
            return;
        if (g.state < Playing || g.state > Paused || (g.state == LevelResults && !rules.levels) ||
            (g.state == Paused && !rules.pauses))
            return fail("game state " + std::to_string(g.state));
        coverage.gameStates[variantOf(g)].insert(g.state);
        if (g.gravityRow < 0 || g.gravityRow >= BoardRows || g.gravityColumn < 0 || g.gravityColumn >= BoardColumns)
            return fail("gravity at row " + std::to_string(g.gravityRow) + ", column " +
                        std::to_string(g.gravityColumn));
        for (int c = 0; c < BoardColumns; ++c)
            for (int r = 0; r < BoardRows; ++r) {
                const int v = g.cell(c, r);
                if (v != 0 && (v < 1 || v > rules.highestColour || v > 7))
                    return fail("cell (" + std::to_string(c) + ", " + std::to_string(r) + ") holds " +
                                std::to_string(v) + ", colours go to " + std::to_string(rules.highestColour));
            }
        if (!g.highscores)
            return fail("the game has no list");
        checkList(*g.highscores, "the game's list");
        if (!problem.empty())
            return;
        if (g.playerName.find(';') != std::string::npos)
            return fail("the typed name holds a ';'");
        if (g.state == NameEntry && !g.highscores->qualifies(g.finalScore))
            return fail("name entry for " + std::to_string(g.finalScore) + " points, which do not make the list");
        if (g.state == Paused && g.startTicks != 0)
            return fail("paused with the clock running");
        // "(ende)" reacts only to a game being played, and pauses the variants that pause.
        if (a().screen == ConfirmEnd && g.state != (rules.pauses ? Paused : Playing))
            return fail("the quit question stands over game state " + std::to_string(g.state));
        if (now.game == before.game && before.state != GameResults && now.state == GameResults)
            ++coverage.gamesFinished;
        if (now.game == before.game && before.state == NameEntry && now.state == ShowHighscores) {
            ++coverage.namesEntered;
            const std::string expected = before.playerName + rules.nameSuffix;
            bool found = false;
            for (const HighscoreEntry& e : g.highscores->entries)
                found = found || (e.name == expected && e.score == before.finalScore);
            if (!found)
                return fail("the list lacks \"" + expected + "\" with " + std::to_string(before.finalScore));
        }
    }

    const Application& a() const { return *app; }

    // Every list file the walk left behind has ten "name;score" lines, best first.
    void checkListFiles(const TempDataDir& dir)
    {
        for (int k = 1; k <= 4; ++k) {
            const std::string file = "Data/var" + std::to_string(k) + ".hsc";
            if (!dir.exists(file))
                continue;
            std::istringstream in(dir.readFile(file));
            std::vector<long> scores;
            for (std::string line; std::getline(in, line);) {
                const auto separator = line.find(';');
                if (separator == std::string::npos)
                    return fail(file + ": a line without ';': " + line);
                scores.push_back(std::atol(line.c_str() + separator + 1));
            }
            if (scores.size() != 10)
                return fail(file + " has " + std::to_string(scores.size()) + " lines");
            if (!std::is_sorted(scores.rbegin(), scores.rend()))
                return fail(file + " is not sorted best first");
        }
    }

    int preferredVariant;
    std::mt19937 rng;
    Coverage& coverage;
    FakeClock* clock = nullptr;
    const TempDataDir* dataDir = nullptr;
    std::unique_ptr<Application> app;
    int eventNumber = 0;
    std::deque<std::string> log;
    std::string problem;
    bool redrawPending = false;
    int eventsSinceDraw = 0;
    const Game* lastGame = nullptr;
    int lastLevel = 0;
    int lastColourCount = 0;
};

// ---- One test per variant: its walks prefer it on the variant screen --------------------------

class RandomPlay : public testing::TestWithParam<int> {};

// Seed s prefers variant s % 4, so a replayed seed runs in the test of its variant.
std::vector<uint32_t> seedsFor(int variant, int events)
{
    if (const char* replay = std::getenv("KLAKORIA_STRESS_SEED"); replay && *replay) {
        const auto seed = static_cast<uint32_t>(std::strtoul(replay, nullptr, 10));
        return seed % 4 == static_cast<uint32_t>(variant) ? std::vector<uint32_t>{seed} : std::vector<uint32_t>{};
    }
    std::vector<uint32_t> seeds;
    const int walks = std::max(1, (events + EventsPerWalk - 1) / EventsPerWalk);
    for (int i = 0; i < walks; ++i)
        seeds.push_back(static_cast<uint32_t>(4 * (1000 + i) + variant));
    return seeds;
}

TEST_P(RandomPlay, KeepsEveryInvariantThroughThousandsOfRandomEvents)
{
    const int variant = GetParam();
    const int events = environmentNumber("KLAKORIA_STRESS_EVENTS", DefaultEventsPerVariant);
    const std::vector<uint32_t> seeds = seedsFor(variant, events);
    if (seeds.empty())
        GTEST_SKIP() << "the replayed seed belongs to another variant";
    installCrashReporters();

    Coverage coverage;
    const auto start = std::chrono::steady_clock::now();
    const int walks = static_cast<int>(seeds.size());
    const int eventsPerWalk = walks == 1 ? std::max(events, EventsPerWalk) : (events + walks - 1) / walks;
    for (uint32_t seed : seeds) {
        std::snprintf(walkBanner, sizeof walkBanner, "random walk seed %u (KLAKORIA_STRESS_SEED=%u replays it): ",
                      seed, seed);
        walkRunning = 1;
        RandomWalk walk(seed, variant, coverage);
        const std::string problem = walk.run(eventsPerWalk);
        walkRunning = 0;
        if (!problem.empty()) {
            std::ostringstream recent;
            for (const std::string& line : walk.recentEvents())
                recent << "  " << line << "\n";
            ADD_FAILURE() << "seed " << seed << ", event " << walk.failedEvent() << ": " << problem
                          << "\nreplay with KLAKORIA_STRESS_SEED=" << seed << "\nlast events:\n"
                          << recent.str();
            return;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << variantNames[static_cast<size_t>(variant)] << ": " << coverage.events << " events, " << coverage.draws
              << " draws, " << coverage.gamesStarted << " games started, " << coverage.gamesFinished << " finished, "
              << coverage.namesEntered << " names entered, " << coverage.steeredAroundEnde
              << " clicks on \"Ende\" left out, " << seconds << " s\n";

    // A walk that no longer reaches the ends of games would check little: with the full count of
    // events every screen and every state of the variant must have been seen.
    if (events < DefaultEventsPerVariant || seeds.size() == 1)
        return;
    EXPECT_EQ(coverage.screens.size(), 10u) << "screens seen";
    std::set<int> expectedStates = {Playing, GameResults, ShowHighscores, NameEntry};
    if (variant == 0)
        expectedStates.insert(LevelResults);
    if (variant >= 2)
        expectedStates.insert(Paused);
    EXPECT_EQ(coverage.gameStates[variant], expectedStates);
}

std::string variantTestName(const testing::TestParamInfo<int>& info)
{
    static const char* const names[] = {"Standard", "Chaos", "Speed", "FallDown"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(EachVariant, RandomPlay, testing::Range(0, 4), variantTestName);

}  // namespace
