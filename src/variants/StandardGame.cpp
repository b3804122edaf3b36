#include "variants/StandardGame.h"

#include <string>
#include <utility>

#include "game/BoardDrawing.h"
#include "game/rules/Numbers.h"
#include "gfx/Text.h"
#include "system/Clock.h"

namespace {

std::string num(int value) { return intToString(value); }

}  // namespace

StandardGame::StandardGame(std::unique_ptr<HighscoreRows> highscores, RandomSource& random)
    : GameOf(std::move(highscores), random, {})
{
    play.startLevel(random);
}

StandardGame::StandardGame(std::unique_ptr<HighscoreRows> highscores, RandomSource& random, const StandardRules& from)
    : GameOf(std::move(highscores), random, from)
{
}

void StandardGame::click(int32_t x, int32_t y)
{
    switch (play.state) {
    case Playing:
        animateRemoval(play.click(cellAtPixel(x, y), currentTicks()));
        break;
    case LevelResults:
        if (pointInRect(toInt16(x), toInt16(y), continueButton))
            play.continueAfterLevel(random);
        break;
    default:
        clickEndOfGame(x, y, "");
        break;
    }
}

void StandardGame::drawStatusBar()
{
    drawStatusTexts("Punkte: " + num(play.levelPoints), "Klicks: " + num(play.levelClicks),
                    "M\xF6glichkeiten: " + num(countMoves(play.board)));
}

void StandardGame::drawResults() const
{
    if (play.state == LevelResults)
        drawLevelResults();
    else
        drawGameResults();
    drawContinueButton();
}

void StandardGame::drawLevelResults() const
{
    // The finished board stays visible behind the result.
    drawBoard(play.board);
    drawResultLines({
        "Zwischenergebniss Level " + num(play.level),
        TitleRule,
        "Punkte: " + num(play.levelPoints),
        "Klicks: " + num(play.levelClicks),
        play.levelClicks != 0 ? "Punkte pro Klick: " + num(play.levelPoints / play.levelClicks) : "",
        "Nicht entfernt: " + num(play.tilesLeft * 100 / BoardCells) + " %",
        "Schwierigkeit: " + num(play.level + 1) + " Farben",
        "Ben\xF6tigte Zeit: " + num(play.levelSeconds) + " Sekunden",
        "-> Bonus: " + num(play.levelBonus) + " Punkte",
        TotalRule,
        "Ergebniss f\xFCr dieses Level:",
        num(play.levelBonus + play.levelPoints) + " Punkte",
        TotalRule,
        "Derzeitiges Gesamtergebniss:",
        num(play.totalScore) + " Punkte",
    });
}

void StandardGame::drawGameResults() const
{
    drawResultLines({
        "Endeergebniss des Spiels",
        TitleRule,
        "Punkte: " + num(play.totalScore),
        "Klicks: " + num(play.totalClicks),
        play.totalClicks != 0 ? "Punkte pro Klick: " + num(play.totalScore / play.totalClicks) : "",
        "Nicht entfernt: " + num(play.totalPercentLeft()) + " %",
        "Ben\xF6tigte Zeit: " + num(play.totalSeconds) + " Sekunden",
        TotalRule,
        "Gesamtergebniss: " + num(play.totalScore) + " Punkte",
    });
}
