#include "variants/ChaosGame.h"

#include <utility>

#include "game/BoardDrawing.h"
#include "gfx/Text.h"
#include "system/Clock.h"

ChaosGame::ChaosGame(std::unique_ptr<HighscoreRows> highscores, int16_t colours, RandomSource& random)
    : GameOf(std::move(highscores), random, {})
{
    play.start(colours, random);
}

ChaosGame::ChaosGame(std::unique_ptr<HighscoreRows> highscores, RandomSource& random, const ChaosRules& from)
    : GameOf(std::move(highscores), random, from)
{
}

void ChaosGame::click(int32_t x, int32_t y)
{
    if (clickEndOfGame(x, y, play.nameSuffix()))
        return;
    if (play.state == Playing)
        animateRemoval(play.click(cellAtPixel(x, y), currentTicks(), random));
}

void ChaosGame::drawStatusBar()
{
    drawStatusTexts("Punkte: " + intToString(play.points), "Klicks: " + intToString(play.clicks),
                    "M\xF6glichkeiten: " + intToString(countMoves(play.board)));
}

void ChaosGame::drawResults() const
{
    drawResultLines({
        "Endeergebniss des Spiels",
        TitleRule,
        "Punkte: " + intToString(play.points),
        "Klicks: " + intToString(play.clicks),
        play.clicks == 0 ? std::string() : "Punkte pro Klick: " + intToString(play.points / play.clicks),
        "Nicht entfernt: " + intToString(play.percentLeft()) + " %",
        "Schwierigkeit: " + intToString(play.colourCount) + " Farben",
        "Ben\xF6tigte Zeit: " + intToString(play.seconds) + " Sekunden",
        "-> Bonus: " + intToString(play.bonus) + " Punkte",
        TotalRule,
        "Gesamtergebniss: " + intToString(int32_t{play.points} + int32_t{play.bonus}) + " Punkte",
    });
    drawContinueButton();
}
