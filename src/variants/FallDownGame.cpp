#include "variants/FallDownGame.h"

#include <string>
#include <utility>

#include "game/BoardDrawing.h"
#include "gfx/Text.h"
#include "system/Clock.h"

FallDownGame::FallDownGame(std::unique_ptr<HighscoreRows> highscores, RandomSource& random)
    : GameOf(std::move(highscores), random, {})
{
    play.start(random);
}

FallDownGame::FallDownGame(std::unique_ptr<HighscoreRows> highscores, RandomSource& random, const FallDownRules& from)
    : GameOf(std::move(highscores), random, from)
{
}

bool FallDownGame::tick() { return play.tick(currentTicks(), random); }

void FallDownGame::click(int32_t x, int32_t y)
{
    // FallDown enters the name as typed.
    if (clickEndOfGame(x, y, "") || clickPauseControls(x, y, pauseButton))
        return;
    animateRemoval(play.click(cellAtPixel(x, y), currentTicks(), random));
}

// Only a game being played pauses: resuming a finished one would feed colours past the seventh.
void FallDownGame::leave() { play.pause(currentTicks(), play.seconds); }

void FallDownGame::drawStatusBar()
{
    drawStatusTexts("Punkte: " + intToString(play.points), "(pause)",
                    "M\xF6glichkeiten: " + intToString(play.movesBelowFeeder()), &pauseButton);
}

void FallDownGame::drawResults() const
{
    // The bonus line shows what the total really adds, so lines 3 to 7 sum up to line 9.
    drawOutcomeResult(play.won, {
        "Endeergebniss des Spiels",
        TitleRule,
        "Punkte: " + intToString(play.points),
        "Zeit: " + intToString(play.seconds) + " Sekunden",
        "Farben: " + intToString(play.colourCount),
        "-> Bonus: " + intToString(play.colourBonus()),
        play.won ? "-> GewinnBonus: " + intToString(FallDownRules::WinBonus) : "",
        TotalRule,
        "Gesamtergebniss: " + intToString(play.finalScore),
    });
    drawContinueButton();
}
