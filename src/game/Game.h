#pragma once
#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "game/rules/GameRules.h"
#include "game/rules/Random.h"
#include "highscore/rules/HighscoreRows.h"

// rect.x <= x < rect.x + rect.w and rect.y <= y < rect.y + rect.h; an empty rect holds nothing.
bool pointInRect(int16_t x, int16_t y, const SDL_Rect& rect);

// The "weiter" label of every result screen, as last drawn.
extern SDL_Rect continueButton;

// rand(), seeded from the time whenever the rules ask for a fresh start: where every game draws
// its random numbers outside the tests.
RandomSource& systemRandom();

// A running game as the Application drives it: it maps clicks to the rules of its variant, reads
// the clock for them, shows the removals and draws its screens.
class Game {
public:
    virtual ~Game() = default;
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    virtual void click(int32_t x, int32_t y) = 0;
    // Every screen of a game: the board while playing, the pause, the results, the name entry,
    // the list.
    virtual void draw();
    virtual bool tick() = 0;  // the periodic work; true when the screen changed
    virtual void leave() = 0;

    virtual const GameCore& core() const = 0;
    GameState state() const { return core().state; }
    const HighscoreRows& highscores() const { return *list; }
    void editPlayerName(int32_t key);  // only on the name entry

protected:
    // The list is the variant's own; the random source is reseeded as a new game starts.
    Game(std::unique_ptr<HighscoreRows> highscores, RandomSource& random);

    virtual GameCore& changeableCore() = 0;

    // "weiter" on the final result and the name entry (nameSuffix is the variant's); true when
    // the click was one of these screens', so that the variant is done with it.
    bool clickEndOfGame(int32_t x, int32_t y, const std::string& nameSuffix);
    // Speed's and FallDown's pause: while paused any click resumes and does nothing else; while
    // playing the "(pause)" label pauses through leave(). True when the click was used up so.
    bool clickPauseControls(int32_t x, int32_t y, const SDL_Rect& pauseLabel);

    // What a variant draws on top of the shared screens: the status bar under the board while
    // playing, and its result screens (LevelResults and GameResults).
    virtual void drawStatusBar() = 0;
    virtual void drawResults() const = 0;

    // Layout elements of the game screens; every text is red on black. The "weiter" label at the
    // bottom of the result and name-entry screens.
    static void drawContinueButton();
    // Three texts at y 576, size 18: left edge at 0, centred on the window, right edge at 800.
    // centreLabel, when given, receives the middle text's box (a clickable label).
    static void drawStatusTexts(const std::string& left, const std::string& centre, const std::string& right,
                                SDL_Rect* centreLabel = nullptr);
    // Line i centred at y = top + 25 i, size 18. An empty line draws nothing but keeps its place.
    static constexpr int32_t ResultLinesTop = 50;
    static void drawResultLines(const std::vector<std::string>& lines, int32_t top = ResultLinesTop);
    // "Gewonnen!" or "Leider Verloren!" as a heading, the lines below it from y 75.
    static void drawOutcomeResult(bool won, const std::vector<std::string>& lines);

    // The rule under the title of a result screen and the one above its total.
    static constexpr const char* TitleRule = "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~";          // 29
    static constexpr const char* TotalRule = "-------------------------------------";  // 37

    RandomSource& random;

private:
    std::unique_ptr<HighscoreRows> list;
};

// A variant's game on the screen around its rules (a struct of the rules layer, which a new game
// starts with the variant's own start and a test may give at any moment).
template <class Rules>
class GameOf : public Game {
public:
    const GameCore& core() const override { return play; }
    const Rules& rules() const { return play; }

protected:
    GameOf(std::unique_ptr<HighscoreRows> highscores, RandomSource& random, const Rules& from)
        : Game(std::move(highscores), random), play(from)
    {
    }

    GameCore& changeableCore() override { return play; }

    Rules play;
};
