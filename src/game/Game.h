#pragma once
#include <SDL.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class HighscoreTable;

constexpr int BoardColumns = 25;
constexpr int BoardRows = 18;
constexpr int BoardCells = BoardColumns * BoardRows;
constexpr int TileSize = 32;

enum GameState : int32_t {
    Playing = 0,
    LevelResults = 1,
    GameResults = 2,
    ShowHighscores = 3,
    NameEntry = 4,
    Paused = 5,
};

// Cells are stored column by column: (column, row) is element column * 18 + row.
// 0 is empty, 1..7 a colour.
using Board = std::array<uint16_t, BoardCells>;
constexpr int cellIndex(int column, int row) { return column * BoardRows + row; }

// Counters keep the low 16 bits of every result, on purpose.
constexpr int16_t toInt16(long long value) { return static_cast<int16_t>(static_cast<uint16_t>(value)); }

// base raised to exponent in double precision, truncated, of which the low 16 bits are kept
// as a signed number. Never converts a double beyond an integer's range.
int16_t powerLow16(int32_t base, int32_t exponent);

// The cell under a window pixel. Only the low 16 bits of x and y count, as signed numbers;
// a negative coordinate is off the board.
struct BoardCell {
    int16_t column;
    int16_t row;
    bool onBoard;
};
BoardCell cellAtPixel(int32_t x, int32_t y);

// rect.x <= x < rect.x + rect.w and rect.y <= y < rect.y + rect.h; an empty rect holds nothing.
bool pointInRect(int16_t x, int16_t y, const SDL_Rect& rect);

// The "weiter" label of every result screen, as last drawn.
extern SDL_Rect continueButton;

// Tests watch the removal animation frame by frame: the observer is called after each flip
// with the frame number 1..4. An empty function removes it.
using RemovalFrameObserver = std::function<void(int frame)>;
void setRemovalFrameObserver(RemovalFrameObserver observer);

class Game {
public:
    Game();  // gravity bottom left, empty name, srand(time)
    virtual ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    virtual void click(int32_t x, int32_t y) = 0;
    virtual void draw() = 0;
    virtual void tick() = 0;
    virtual void leave() = 0;

    void editPlayerName(int32_t key);

    // Board rules; they touch no surface and no clock.
    int32_t removeGroup(int16_t column, int16_t row, uint16_t colour, bool isStart);
    void collapse();
    int32_t countMoves() const;

    // Board drawing.
    void drawBoard() const;
    void animateRemoval() const;
    void drawNameEntryScreen() const;

    uint16_t& cell(int column, int row) { return board[cellIndex(column, row)]; }
    uint16_t cell(int column, int row) const { return board[cellIndex(column, row)]; }
    int occupiedCells() const;

    // The clock runs from its start (startTicks set) until the game ends (endTicks set).
    bool clockRunning() const { return startTicks != 0 && endTicks == 0; }

    int32_t state = Playing;
    int16_t gravityRow = 17;
    int16_t gravityColumn = 0;
    HighscoreTable* highscores = nullptr;
    std::string playerName;
    int32_t finalScore = 0;
    int16_t colourCount = 0;
    uint32_t startTicks = 0;
    uint32_t endTicks = 0;
    Board board{};
    Board previousBoard{};

protected:
    // The end of every game, the same in all variants: in GameResults "weiter" leads to the
    // name entry when finalScore makes the list, else to the list; in NameEntry "weiter" with
    // a name enters name + nameSuffix with finalScore. The variant sets finalScore before.
    // Returns true when the click was one of these states' (so the variant is done with it).
    bool handleEndOfGameClick(int32_t x, int32_t y, const std::string& nameSuffix);

    // Dealing: every cell in storage order gets rand() % colours + 1, except that rows above
    // firstRow are emptied (and draw no random number).
    void dealRandomColours(int colours, int firstRow = 0);
    static uint16_t randomColour(int colours);  // rand() % colours + 1

    // The game clock. startTicks 0 means it has not been started or is paused.
    void startClockOnce();  // a clock that already runs keeps its start
    // Sets endTicks to now and returns the whole seconds of the span that ran until then
    // (0 for a clock that never started).
    uint32_t stopClock();
    // The pause of the timed variants: only while Playing, the running span is added to
    // playedSeconds, the clock stops and the game is Paused. A finished game is never paused,
    // or its next click would resume it.
    void pauseGame(int16_t& playedSeconds);
    void resumeGame();  // the clock runs again from now on, even if it had never been started

    // Layout elements of the game screens (GameScreens.cpp); every text is red on black.
    // The "weiter" label at the bottom of the result and name-entry screens.
    static void drawContinueButton();
    // Three texts at y 576, size 18: left edge at 0, centred on the window, right edge at 800.
    // centreLabel, when given, receives the middle text's box (a clickable label).
    static void drawStatusBar(const std::string& left, const std::string& centre, const std::string& right,
                              SDL_Rect* centreLabel = nullptr);
    // Line i centred at y = top + 25 i, size 18. An empty line draws nothing but keeps its place.
    static constexpr int32_t ResultLinesTop = 50;
    static void drawResultLines(const std::vector<std::string>& lines, int32_t top = ResultLinesTop);
    // "Gewonnen!" or "Leider Verloren!" as a heading, the lines below it from y 75.
    static void drawOutcomeResult(bool won, const std::vector<std::string>& lines);
    static void drawPauseScreen();
    // NameEntry (the name being typed, then "weiter") and ShowHighscores (the list) look the
    // same in every variant; any other state draws nothing here.
    void drawEndOfGameScreen() const;

    // The rule under the title of a result screen and the one above its total.
    static constexpr const char* TitleRule = "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~";          // 29
    static constexpr const char* TotalRule = "-------------------------------------";  // 37
};
