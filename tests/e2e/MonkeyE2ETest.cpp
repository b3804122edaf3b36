// A monkey at the real program: for a set time it clicks and types at random into the window,
// biased toward the menu labels so that it gets into every variant. The program must still run at
// the end and leave with status 0 on Escape, having complained about nothing.
//   KLAKORIA_MONKEY_SECONDS=<n>  how long the monkey plays (default 15)
//   KLAKORIA_MONKEY_SEED=<n>     the seed of its choices (default: the time; printed on a failure)
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <random>

#include "E2EHelpers.h"

using namespace e2e;

namespace {

const std::vector<Point> labels = [] {
    std::vector<Point> points = {Spielen, Spielen, Spielen, TileSetButton, HighscoresButton, InfoButton, Bottom,
                                 Bottom,  EndeBelowGame, Ja, Nein, choice(1), choice(3)};
    for (int i = 0; i < 5; ++i)
        points.insert(points.end(), {variantChoice(i % 4), highscoreChoice(i % 4), preview(i)});
    return points;
}();
// Letters, Latin-1 letters, the list file's separator, and keys that edit or do nothing.
const std::vector<std::string> typedTexts = {"a", "Z", "7", " ", "\xC3\xA4", "\xC3\x9F", ";", "Klakoria"};
const std::vector<std::string> pressedKeys = {"BackSpace", "BackSpace", "Return", "Tab", "Left", "F1", "Delete"};

int environmentNumber(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::atoi(value) : fallback;
}

}  // namespace

TEST(MonkeyE2E, RandomClicksAndKeysLeaveTheProgramRunningAndEscapeEndsItWithStatusZero)
{
    const auto seed = static_cast<unsigned>(environmentNumber("KLAKORIA_MONKEY_SEED", static_cast<int>(time(nullptr))));
    const int seconds = std::max(1, environmentNumber("KLAKORIA_MONKEY_SECONDS", 15));
    SCOPED_TRACE("monkey seed " + std::to_string(seed) + " (KLAKORIA_MONKEY_SEED replays its choices)");
    std::mt19937 rng(seed);
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    const auto oneOf = [&](const auto& items) { return items[static_cast<size_t>(pick(0, int(items.size()) - 1))]; };

    XvfbServer xserver;
    TempDataDir data;
    GameProcess game(xserver, data.path());
    ASSERT_TRUE(game.hasWindow() && game.waitFor(mainMenuShown)) << game.output();
    std::string recent;  // the last actions, for the failure message
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end && game.running()) {
        const int kind = pick(0, 99);
        if (kind < 88) {  // on labels, on the board, anywhere; right and middle buttons do nothing
            const Point at = kind < 45 ? oneOf(labels) : Point{pick(0, 799), pick(0, kind < 75 ? 575 : 599)};
            const int button = kind < 85 ? 1 : pick(2, 3);
            if (button == 1 && onEnde(at))
                continue;  // the main menu's "Ende" would end the program on purpose
            recent += "click " + std::to_string(button) + " at " + std::to_string(at.first) + "," +
                      std::to_string(at.second) + "\n";
            game.click(at, button);
        } else if (kind < 95) {
            const std::string text = oneOf(typedTexts);
            recent += "type " + text + "\n";
            game.type(text);
        } else {
            const std::string key = oneOf(pressedKeys);
            recent += "key " + key + "\n";
            game.pressKey(key);
        }
        if (recent.size() > 1000)
            recent.erase(0, recent.find('\n', recent.size() - 1000) + 1);
    }
    ASSERT_TRUE(game.running()) << "ended with status " << game.waitForExit(1) << "; last actions:\n"
                                << recent << game.output();
    game.pressKey("Escape");
    EXPECT_EQ(game.waitForExit(60), 0) << recent << game.output();
    EXPECT_EQ(game.output(), "") << recent;
}
