#pragma once
#include <cstdint>
#include <string>

#include "game/rules/Board.h"

class HighscoreRows;

enum GameState : int32_t {
    Playing = 0,
    LevelResults = 1,  // Standard only
    GameResults = 2,
    ShowHighscores = 3,
    NameEntry = 4,
    Paused = 5,  // Speed and FallDown only
};

// The span a game times, in milliseconds of the game's clock. startTicks 0: not started, or paused.
struct GameClock {
    uint32_t startTicks = 0;
    uint32_t endTicks = 0;

    bool running() const { return startTicks != 0 && endTicks == 0; }
    void startOnce(uint32_t now);  // a clock that already runs keeps its start
    // Sets endTicks to now; the whole seconds since the start (0 for a clock that never started).
    uint32_t stop(uint32_t now);
};

// The removal of one click, for the animation: the board before it and right after it, before
// it settled. removed is the group's size minus 1 (0: nothing went).
struct Removal {
    int32_t removed = 0;
    Board before;
    Board cleared;
};
// Removes the group at `at`, the clicked cell's own value deciding its colour.
Removal removeGroupAt(Board& board, Cell at);

// What every game is at any moment, whatever its variant. The variants' rules add their counters.
struct GameCore {
    GameState state = Playing;
    Gravity gravity;       // bottom left: tiles fall, columns close to the left
    Board board;
    std::string playerName;
    int32_t finalScore = 0;  // what the game offers its list, fixed when it ends
    int16_t colourCount = 0;
    GameClock clock;

    // One key on the name entry: codes 32..255 but ';' append their byte (';' would split the
    // saved line), backspace (8) removes the last one; only the low 16 bits of key count. The
    // name stops growing at the longest one a list line can hold.
    void editPlayerName(int32_t key);

    // The pause of the timed variants, only while Playing (a finished game is never paused, or
    // its next click would resume it): the running span is added to playedSeconds, each span
    // truncated by itself, and the clock stops.
    void pause(uint32_t now, int16_t& playedSeconds);
    void resume(uint32_t now);  // the clock runs again from now on, even if it never had
};

// "weiter" at the end of a game. On the final result it leads to the name entry when finalScore
// makes the list, else to the list; on the name entry, once a name is typed, name + nameSuffix
// enters the list with finalScore and the list is shown. Returns whether anything changed.
bool continueEndOfGame(GameCore& game, HighscoreRows& list, const std::string& nameSuffix);
