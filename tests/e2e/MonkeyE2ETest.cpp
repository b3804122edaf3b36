// A monkey at the real program: for a set time it clicks and types at random into the window,
// with a bias toward the menu labels so that it gets into every variant. The program must still
// run at the end and leave with status 0 on Escape, having complained about nothing.
//
//   KLAKORIA_MONKEY_SECONDS=<n>  how long the monkey plays (default 15)
//   KLAKORIA_MONKEY_SEED=<n>     the seed of its choices (default: the time; printed on a failure)
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <iostream>
#include <memory>
#include <random>
#include <string>

#include "E2EHelpers.h"

using namespace e2e;

namespace {

// Points inside the labels of the menus and of the strip below the board, all but "Ende" of the
// main menu; the ways into the games weigh more.
const std::vector<Point> labels = [] {
    std::vector<Point> points = {Spielen, Spielen, Spielen, Spielen, TileSetButton, HighscoresButton, InfoButton,
                                 Bottom,  Bottom,  Bottom,  EndeBelowGame, Ja, Nein, Ja, Nein, choice(1), choice(3)};
    for (int i = 0; i < 4; ++i)
        points.insert(points.end(), {variantChoice(i), variantChoice(i), highscoreChoice(i)});
    for (int set = 0; set < 5; ++set)
        points.push_back(preview(set));
    return points;
}();
// Letters, digits, Latin-1 letters, the list file's separator, and keys that edit or do nothing.
const std::vector<std::string> typedTexts = {"a", "Z", "7", " ", "\xC3\xA4", "\xC3\xBC", "\xC3\x9F", ";", "Klakoria"};
const std::vector<std::string> pressedKeys = {"BackSpace", "BackSpace", "Return", "Tab", "Left", "F1", "Delete"};

int environmentNumber(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::atoi(value) : fallback;
}

class Monkey {
public:
    Monkey(const XvfbServer& server, const TempDataDir& data, unsigned seed) : server(server), data(data), rng(seed)
    {
        start();
    }

    bool start()
    {
        game = std::make_unique<GameProcess>(server, data.path());
        startedAt = actions;
        return started = game->hasWindow() && game->waitForMainMenu(60);
    }

    // One random action; false when the program has ended in a way that is not allowed.
    bool act()
    {
        const int kind = pick(0, 99);
        if (kind < 88) {  // on labels, on the board, anywhere; right and middle buttons do nothing
            const Point at = kind < 45 ? oneOf(labels) : Point{pick(0, 799), pick(0, kind < 75 ? 575 : 599)};
            const int button = kind < 85 ? 1 : pick(2, 3);
            note("click " + std::to_string(button) + " at " + std::to_string(at.first) + ", " +
                 std::to_string(at.second));
            game->click(at.first, at.second, button);
            if (button == 1 && onEnde(at))
                lastClickOnEnde = actions;
        } else if (kind < 95) {
            const std::string& text = oneOf(typedTexts);
            note("type \"" + text + "\"");
            game->type(text);
        } else {
            const std::string& key = oneOf(pressedKeys);
            note("key " + key);
            game->pressKey(key);
        }
        if (++actions % 10 == 0)
            boards += boardShown(game->screenshot());
        if (game->running())
            return true;
        // "Ende" ends the program with status 0: allowed, and the monkey starts it again. How
        // many actions pass before the end shows depends on the load (the sanitized build also
        // checks for leaks first), so any click on "Ende" since this start counts.
        if (lastClickOnEnde < startedAt || game->waitForExit(10) != 0 || !game->standardError().empty())
            return false;
        note("the program ended after a click on \"Ende\"; starting it again");
        ++restarts;
        return start();
    }

    std::string recentActions() const
    {
        std::string text;
        for (const std::string& line : history)
            text += "  " + line + "\n";
        return text;
    }

    std::unique_ptr<GameProcess> game;
    bool started = false;
    int actions = 0;
    int boards = 0;  // of the looks at every tenth action: whether the monkey got into games
    int restarts = 0;

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    template <typename T>
    const T& oneOf(const std::vector<T>& items)
    {
        return items[static_cast<size_t>(pick(0, static_cast<int>(items.size()) - 1))];
    }

    void note(const std::string& line)
    {
        history.push_back(line);
        if (history.size() > 30)
            history.pop_front();
    }

    const XvfbServer& server;
    const TempDataDir& data;
    std::mt19937 rng;
    std::deque<std::string> history;
    int lastClickOnEnde = -100;
    int startedAt = 0;
};

}  // namespace

TEST(MonkeyE2E, RandomClicksAndKeysLeaveTheProgramRunningAndEscapeEndsItWithStatusZero)
{
    const auto seed = static_cast<unsigned>(environmentNumber("KLAKORIA_MONKEY_SEED", static_cast<int>(time(nullptr))));
    const int seconds = std::max(1, environmentNumber("KLAKORIA_MONKEY_SECONDS", 15));
    SCOPED_TRACE("monkey seed " + std::to_string(seed) + " (KLAKORIA_MONKEY_SEED replays its choices)");

    XvfbServer xserver;
    TempDataDir data;
    Monkey monkey(xserver, data, seed);
    ASSERT_TRUE(monkey.started) << monkey.game->standardError();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end)
        ASSERT_TRUE(monkey.act()) << "the program ended with status " << monkey.game->waitForExit(1) << " after "
                                  << monkey.actions << " actions\nlast actions:\n"
                                  << monkey.recentActions() << "standard error:\n"
                                  << monkey.game->standardError();

    GameProcess& game = *monkey.game;
    ASSERT_TRUE(game.running()) << monkey.recentActions() << game.standardError();
    game.pressKey("Escape");
    EXPECT_EQ(game.waitForExit(60), 0) << monkey.recentActions() << game.standardError();
    EXPECT_EQ(game.standardError(), "") << monkey.recentActions();
    std::cout << monkey.actions << " actions in " << seconds << " s, a board in " << monkey.boards << " of "
              << monkey.actions / 10 << " looks, " << monkey.restarts << " restarts after \"Ende\"\n";
}
