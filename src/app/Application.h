#pragma once
#include <SDL.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "audio/MusicPlayer.h"

#include "game/Game.h"
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

class Application {
public:
    // videoDepth 0 takes the display's depth; tests under the dummy driver ask for 32.
    explicit Application(int videoDepth = 0);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    void handleClick(int16_t x, int16_t y);
    void draw();
    void handleKey(uint16_t key);
    void handleTick();

    int16_t variant = 0;
    std::unique_ptr<Game> game;
    std::unique_ptr<HighscoreTable> shownHighscores;
    ScreenState screen = MainMenu;
    SDL_Rect playButton{}, tilesetButton{}, highscoresButton{}, infoButton{}, quitButton{};
    SDL_Rect tilesetChoices[5]{};
    SDL_Rect colourChoices[4]{};
    SDL_Rect difficultyChoices[3]{};
    SDL_Rect backButton{};
    SDL_Rect variantChoices[4]{};
    SDL_Rect highscoreChoices[4]{};
    SDL_Rect endGameButton{};
    SDL_Rect musicButton{};
    int tileset = 4;  // the set the player plays with; the fifth at start
    MusicPlayer music;
};
