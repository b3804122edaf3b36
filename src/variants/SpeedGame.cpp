#include "variants/SpeedGame.h"

#include <string>
#include <utility>

#include "game/BoardDrawing.h"
#include "gfx/Text.h"
#include "system/Clock.h"

SpeedGame::SpeedGame(std::unique_ptr<HighscoreRows> highscores, int16_t difficulty, RandomSource& random)
    : GameOf(std::move(highscores), random, {})
{
    play.start(difficulty, random);
}

SpeedGame::SpeedGame(std::unique_ptr<HighscoreRows> highscores, RandomSource& random, const SpeedRules& from)
    : GameOf(std::move(highscores), random, from)
{
}

bool SpeedGame::tick() { return play.tick(currentTicks()); }

void SpeedGame::click(int32_t x, int32_t y)
{
    if (clickEndOfGame(x, y, play.settings().nameSuffix) || clickPauseControls(x, y, pauseButton))
        return;
    animateRemoval(play.click(cellAtPixel(x, y), currentTicks(), random));
}

void SpeedGame::leave() { play.pause(currentTicks(), play.seconds); }

void SpeedGame::drawStatusBar()
{
    drawStatusTexts("Punkte: " + intToString(play.points), "(pause)",
                    "M\xF6glichkeiten: " + intToString(countMoves(play.board)), &pauseButton);
}

void SpeedGame::drawResults() const
{
    // A lost game shows no remaining points and no win bonus: its total never had them.
    const bool won = play.won();
    drawOutcomeResult(won, {
        "Endeergebniss des Spiels",
        TitleRule,
        won ? "RestPunkte: " + intToString(play.points) : std::string("RestPunkte: 0"),
        "Zeit: " + intToString(play.seconds) + " Sekunden",
        "Farben: " + intToString(play.colourCount),
        std::string("Schwierigkeit: ") + play.settings().label,
        "-> Bonus: " + intToString(play.colourBonus()),
        won ? "-> GewinnBonus: " + intToString(play.difficulty * 1000) : std::string(),
        TotalRule,
        "Gesamtergebniss: " + intToString(play.finalScore),
    });
    drawContinueButton();
}
