#include "game/rules/GameRules.h"

#include "game/rules/Numbers.h"
#include "highscore/rules/HighscoreRows.h"

namespace {

constexpr uint16_t Backspace = 8;
constexpr uint16_t FieldSeparator = ';';

}  // namespace

void GameClock::startOnce(uint32_t now)
{
    if (startTicks == 0)
        startTicks = now;
}

uint32_t GameClock::stop(uint32_t now)
{
    endTicks = now;
    return startTicks != 0 ? (endTicks - startTicks) / 1000 : 0;
}

Removal removeGroupAt(Board& board, Cell at)
{
    Removal removal{0, board, {}};
    removal.removed = removeGroup(board, at.column, at.row, board.at(at.column, at.row));
    removal.cleared = board;
    return removal;
}

void GameCore::editPlayerName(int32_t key)
{
    const uint16_t code = static_cast<uint16_t>(key);
    if (code == Backspace) {
        if (!playerName.empty())
            playerName.pop_back();
        return;
    }
    if (code >= 32 && code <= 255 && code != FieldSeparator && playerName.size() < LongestPlayerName)
        playerName.push_back(static_cast<char>(code));
}

void GameCore::pause(uint32_t now, int16_t& playedSeconds)
{
    if (state != Playing)
        return;
    if (clock.startTicks != 0)
        playedSeconds = toInt16(playedSeconds + (now - clock.startTicks) / 1000);
    clock = GameClock{};
    state = Paused;
}

void GameCore::resume(uint32_t now)
{
    clock.startTicks = now;
    state = Playing;
}

bool continueEndOfGame(GameCore& game, HighscoreRows& list, const std::string& nameSuffix)
{
    switch (game.state) {
    case GameResults:
        game.state = list.qualifies(game.finalScore) ? NameEntry : ShowHighscores;
        return true;
    case NameEntry:
        if (game.playerName.empty())
            return false;
        list.insert(game.playerName + nameSuffix, game.finalScore);
        game.state = ShowHighscores;
        return true;
    default:
        return false;
    }
}
