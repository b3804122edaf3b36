// A monkey at the real program: for a set time it clicks and types at random into the window,
// with a bias toward the menu labels so that it gets into every variant. The program must still
// run at the end and leave with status 0 on Escape, having complained about nothing.
//
//   KLAKORIA_MONKEY_SECONDS=<n>  how long the monkey plays (default 15)
//   KLAKORIA_MONKEY_SEED=<n>     the seed of its choices (default: the time; printed on a failure)
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"

using namespace testing_support;

namespace {

using Point = std::pair<int, int>;

// Points inside the labels of the menus (all centred on x 400 unless said) and of the strip
// below the board, where "zurück zum Menü", "weiter", "(pause)" and the music label stand.
const std::vector<Point> menuLabels = {
    {400, 145}, {400, 145}, {400, 145}, {400, 145},              // "Spielen", the way into the games
    {400, 195}, {400, 245}, {400, 295},                          // the rest of the main menu but "Ende"
    {400, 118}, {400, 218}, {400, 318}, {400, 418},              // the four variants
    {400, 118}, {400, 218}, {400, 318}, {400, 418},
    {400, 168}, {400, 268},                                      // colour counts between them
    {400, 128}, {400, 178}, {400, 228}, {400, 278},              // the highscore lists
    {94, 250},  {244, 250}, {394, 250}, {544, 250}, {694, 250},  // the tile set previews
    {400, 587}, {400, 587}, {400, 587},                          // back, "weiter", "(pause)", music
    {215, 586},                                                  // "(ende)"
    {312, 215}, {500, 215}, {312, 215}, {500, 215},              // "Ja", "Nein"
};

// The main menu's "Ende" (size 30, centred, top at y 330) lies inside this box: it ends the
// program at once with status 0.
bool onEnde(Point at) { return at.first >= 330 && at.first < 470 && at.second >= 325 && at.second < 380; }

// Typed text: letters, digits, Latin-1 letters, the list file's separator, and keys that edit.
const std::vector<std::string> typedTexts = {"a", "Z", "7", " ", "\xC3\xA4", "\xC3\xBC", "\xC3\x9F", ";", "Klakoria"};
const std::vector<std::string> pressedKeys = {"BackSpace", "BackSpace", "Return", "Tab", "Left", "F1", "Delete"};

int secondsToPlay()
{
    const char* value = std::getenv("KLAKORIA_MONKEY_SECONDS");
    return value && *value ? std::max(1, std::atoi(value)) : 15;
}

unsigned monkeySeed()
{
    const char* value = std::getenv("KLAKORIA_MONKEY_SEED");
    return value && *value ? static_cast<unsigned>(std::strtoul(value, nullptr, 10))
                           : static_cast<unsigned>(std::time(nullptr));
}

class Monkey {
public:
    Monkey(const XvfbServer& server, const TempDataDir& data, unsigned seed) : server(server), data(data), rng(seed) {}

    void start()
    {
        game = std::make_unique<GameProcess>(server, data.path());
        ++starts;
        started = game->hasWindow() && game->waitForMainMenu(60);
    }

    bool startedWell() const { return started; }
    GameProcess& process() { return *game; }
    int restartsAfterEnde() const { return starts - 1; }
    int actionCount() const { return actions; }
    int boardsSeen() const { return boards; }
    int samples() const { return sampled; }

    // One random action; false when the program has ended in a way that is not allowed.
    bool act()
    {
        ++actions;
        const int kind = pick(0, 99);
        if (kind < 45)
            click(menuLabels[static_cast<size_t>(pick(0, static_cast<int>(menuLabels.size()) - 1))]);
        else if (kind < 75)
            click({pick(0, 799), pick(0, 575)});  // the board
        else if (kind < 85)
            click({pick(0, 799), pick(0, 599)});
        else if (kind < 88)
            click({pick(0, 799), pick(0, 599)}, pick(2, 3));  // right and middle buttons do nothing
        else if (kind < 95)
            type(typedTexts[static_cast<size_t>(pick(0, static_cast<int>(typedTexts.size()) - 1))]);
        else
            press(pressedKeys[static_cast<size_t>(pick(0, static_cast<int>(pressedKeys.size()) - 1))]);
        if (actions % 10 == 0)
            lookAtTheScreen();
        if (game->running())
            return true;
        // A click on "Ende" ends the program at once with status 0; that is allowed, and the
        // monkey starts it again. Any other end is a failure. The program may take a while to
        // end (the sanitized build checks for leaks first), so a few more clicks can follow.
        const int status = game->waitForExit(10);
        bool clickedEnde = false;
        for (const Point& at : recentClicks)
            clickedEnde = clickedEnde || onEnde(at);
        if (status != 0 || !clickedEnde || !game->standardError().empty())
            return false;
        log("the program ended after a click on \"Ende\"; starting it again");
        start();
        return started;
    }

    std::string recentActions() const
    {
        std::ostringstream text;
        for (const std::string& line : history)
            text << "  " << line << "\n";
        return text.str();
    }

private:
    // How often a game board was on screen, so a run shows whether the monkey got into games.
    void lookAtTheScreen()
    {
        ++sampled;
        boards += game->screenshot().countNonBlack(SDL_Rect{0, 0, 800, 576}) > 100000;
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

    void log(const std::string& line)
    {
        history.push_back(line);
        if (history.size() > 30)
            history.pop_front();
    }

    void click(Point at, int button = 1)
    {
        log("click " + std::to_string(button) + " at (" + std::to_string(at.first) + ", " + std::to_string(at.second) + ")");
        game->click(at.first, at.second, button);
        if (button == 1) {
            recentClicks.push_back(at);
            if (recentClicks.size() > 10)
                recentClicks.pop_front();
        }
    }

    void type(const std::string& text)
    {
        log("type \"" + text + "\"");
        game->type(text);
    }

    void press(const std::string& key)
    {
        log("key " + key);
        game->pressKey(key);
    }

    const XvfbServer& server;
    const TempDataDir& data;
    std::mt19937 rng;
    std::unique_ptr<GameProcess> game;
    bool started = false;
    int starts = 0;
    int actions = 0;
    int sampled = 0;
    int boards = 0;
    std::deque<std::string> history;
    std::deque<Point> recentClicks;
};

}  // namespace

TEST(MonkeyE2E, RandomClicksAndKeysLeaveTheProgramRunningAndEscapeEndsItWithStatusZero)
{
    const unsigned seed = monkeySeed();
    const int seconds = secondsToPlay();
    SCOPED_TRACE("monkey seed " + std::to_string(seed) + " (KLAKORIA_MONKEY_SEED replays its choices)");

    XvfbServer xserver;
    TempDataDir data;
    Monkey monkey(xserver, data, seed);
    monkey.start();
    ASSERT_TRUE(monkey.startedWell()) << monkey.process().standardError();

    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (!monkey.act()) {
            FAIL() << "the program ended with status " << monkey.process().waitForExit(1) << " after "
                   << monkey.actionCount() << " actions\nlast actions:\n"
                   << monkey.recentActions() << "standard error:\n"
                   << monkey.process().standardError();
        }
    }

    GameProcess& game = monkey.process();
    ASSERT_TRUE(game.running()) << monkey.recentActions() << game.standardError();
    game.pressKey("Escape");
    EXPECT_EQ(game.waitForExit(60), 0) << monkey.recentActions() << game.standardError();
    EXPECT_EQ(game.standardError(), "") << monkey.recentActions();
    std::cout << monkey.actionCount() << " actions in " << seconds << " s, a board in " << monkey.boardsSeen() << " of "
              << monkey.samples() << " looks, " << monkey.restartsAfterEnde() << " restarts after \"Ende\"\n";
}
