#pragma once
#include <SDL.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/Options.h"
#include "app/Settings.h"
#include "audio/MusicPlayer.h"

#include "game/Game.h"
#include "gfx/Screen.h"
#include "highscore/HighscoreTable.h"

enum ScreenState : int32_t {
    MainMenu = 0,
    ChooseVariant = 1,
    ChooseColours = 2,
    ChooseDifficulty = 3,
    InGame = 4,
    ChooseTileset = 5,
    Info = 6,
    ChooseHighscores = 7,
    HighscoreList = 8,
    ConfirmEnd = 9,
};

// "Standart Click", "Chaos Click", "Speed Click", "FallDown Click"
extern const std::array<std::string, 4> variantNames;

// A variant's list (0 to 3) as its games and the menu's viewer open it: ten rows in "Data/var1.hsc"
// to "Data/var4.hsc".
std::unique_ptr<HighscoreTable> highscoresOf(int variant);

// The difficulty screen is reached from Speed Click alone, so a difficulty chosen with another variant
// is a fault of the menus, not of the player: "Ungueltige Spielnummer: <variant>" and status 6 end the
// process. A function of its own because no click can lead there any more, and the test calls it.
void exitUnlessSpeed(int variant);

// The rectangle of every label a click can hit, as the last frame drew it; {0, 0, 0, 0} for a label
// that frame did not draw.
struct Buttons {
    SDL_Rect play{}, tileset{}, highscores{}, info{}, quit{}, music{};
    SDL_Rect variantChoices[4]{};
    SDL_Rect colourChoices[4]{};
    SDL_Rect difficultyChoices[3]{};
    SDL_Rect tilesetChoices[5]{};
    SDL_Rect highscoreChoices[4]{};
    SDL_Rect back{};     // also "Ja" on the confirmation
    SDL_Rect endGame{};  // "(ende)", and "Nein" on the confirmation
};

class Application {
public:
    // videoDepth 0 takes the display's depth; tests under the dummy driver ask for 32. The tile set,
    // the music and the window are as the settings file keeps them, each flag of the command line
    // laid over the file's value for this run only.
    explicit Application(int videoDepth = 0, const Options& options = {});
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // A left click of the mouse on a point of the picture; it hides the keyboard's cursor and marker.
    void handleClick(int16_t x, int16_t y);
    void draw();
    // During the name entry the typed character (unicode) goes to the name. Otherwise, while a game
    // is played, the arrow keys move the cursor over the board and Space or Return clicks its cell
    // (once the cursor shows);
    // on every other screen Up, Down and Tab move the marker between the labels and Return clicks
    // the marked one. F11 switches between fullscreen and the window everywhere.
    void handleKey(SDLKey key, uint16_t unicode);
    void handleTick();
    // Whether ticks change anything now: only while a game is played, not paused and not over.
    bool ticking() const;

    // What choosing a variant ends with: the game replaces any other and runs on the game screen.
    // The chosen variant stays as it is. No frame is asked for: the click that chose asks for one.
    void startGame(std::unique_ptr<Game> game);

    ScreenState screen() const { return shown; }
    const Game* game() const { return running.get(); }
    const HighscoreTable* shownList() const { return openList.get(); }  // only on HighscoreList
    int16_t variant() const { return chosenVariant; }  // the last one chosen on the menu; 0 before
    int tileset() const { return chosenTileset; }
    bool musicPlaying() const { return music.isPlaying(); }
    const Buttons& buttons() const { return drawn; }
    // The clickable labels of the screen as last drawn, in reading order.
    std::vector<SDL_Rect> labels() const;
    // The keyboard's cursor on the board and marker on the labels show from the first key that
    // moves them until the next mouse click.
    bool keyboardShown() const { return keyboardInUse; }
    Cell cursorCell() const { return cursor; }
    int markedLabel() const { return marked; }  // an index into labels()

private:
    // What a click at a point of the picture does, by mouse or by key.
    void press(int16_t x, int16_t y);
    void moveCursor(SDLKey key);
    void moveMarker(int step);
    void toggleFullscreen();
    // A choice of the player changed what the settings file keeps: written at once.
    void remember(const Settings& changed);
    std::pair<ScreenState, GameState> labelsShown() const;

    int depth;
    Settings kept;  // as the settings file holds them: without the command line's flags
    ScreenState shown = MainMenu;
    std::unique_ptr<Game> running;  // on InGame and ConfirmEnd only
    std::unique_ptr<HighscoreTable> openList;
    int16_t chosenVariant = 0;
    int chosenTileset = 4;  // the set the player plays with
    Buttons drawn;
    MusicPlayer music;
    bool keyboardInUse = false;
    Cell cursor{0, LastRow};  // the cell under the last click on the board, else the bottom left one
    int marked = 0;
    std::pair<ScreenState, GameState> markerScreen{MainMenu, Playing};  // the screen marked was counted on
};
