#include "game/Game.h"

#include <cassert>
#include <cstdlib>
#include <ctime>
#include <utility>

#include "game/rules/Numbers.h"
#include "system/Clock.h"

SDL_Rect continueButton{0, 0, 0, 0};

namespace {

class RandFromTime final : public RandomSource {
public:
    int next() override { return std::rand(); }
    void reseed() override { std::srand(static_cast<unsigned>(std::time(nullptr))); }
};

}  // namespace

RandomSource& systemRandom()
{
    static RandFromTime random;
    return random;
}

bool pointInRect(int16_t x, int16_t y, const SDL_Rect& rect)
{
    const int left = rect.x;
    const int top = rect.y;
    return x >= left && x < left + static_cast<int>(rect.w) && y >= top && y < top + static_cast<int>(rect.h);
}

Game::Game(std::unique_ptr<HighscoreRows> highscores, RandomSource& random) : random(random), list(std::move(highscores))
{
    assert(list);
    random.reseed();
}

void Game::editPlayerName(int32_t key)
{
    assert(state() == NameEntry);
    changeableCore().editPlayerName(key);
}

bool Game::clickEndOfGame(int32_t x, int32_t y, const std::string& nameSuffix)
{
    const GameState now = state();
    if (now != GameResults && now != NameEntry && now != ShowHighscores)
        return false;
    if (pointInRect(toInt16(x), toInt16(y), continueButton))
        continueEndOfGame(changeableCore(), *list, nameSuffix);
    return true;
}

bool Game::clickPauseControls(int32_t x, int32_t y, const SDL_Rect& pauseLabel)
{
    if (state() == Paused) {
        changeableCore().resume(currentTicks());  // and nothing else: a click on a tile does not remove it
        return true;
    }
    if (state() == Playing && pointInRect(toInt16(x), toInt16(y), pauseLabel)) {
        leave();
        return true;
    }
    return false;
}
