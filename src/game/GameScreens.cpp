// The screens every variant shares, and the layout elements its own screens are built from.

#include "game/BoardDrawing.h"
#include "game/Game.h"
#include "gfx/Text.h"
#include "highscore/HighscoreScreens.h"

namespace {

constexpr int32_t TextSize = 18;
constexpr int32_t BottomStripY = 576;  // the strip below the board
constexpr int32_t ResultLineSpacing = 25;
constexpr int32_t LinesBelowHeading = 75;

void drawPauseScreen() { drawText(" P A U S E ! ", 0, 200, TextAlign::Center, 90, nullptr); }

}  // namespace

void Game::draw()
{
    switch (state()) {
    case Playing:
        drawBoard(core().board);
        drawStatusBar();
        break;
    case Paused:
        drawPauseScreen();
        break;
    case LevelResults:
    case GameResults:
        drawResults();
        break;
    case NameEntry:
        drawNameEntryScreen(core().finalScore, core().playerName);
        drawContinueButton();
        break;
    case ShowHighscores:
        drawHighscoreScreen(*list);
        break;
    }
}

void Game::drawContinueButton()
{
    drawText("weiter", 0, BottomStripY, TextAlign::Center, TextSize, &continueButton);
}

void Game::drawStatusTexts(const std::string& left, const std::string& centre, const std::string& right,
                           SDL_Rect* centreLabel)
{
    drawText(left, 0, BottomStripY, TextAlign::Left, TextSize, nullptr);
    drawText(centre, 0, BottomStripY, TextAlign::Center, TextSize, centreLabel);
    drawText(right, 0, BottomStripY, TextAlign::Right, TextSize, nullptr);
}

void Game::drawResultLines(const std::vector<std::string>& lines, int32_t top)
{
    // drawText leaves an empty text out, and the next line's y does not depend on it.
    for (size_t i = 0; i < lines.size(); ++i)
        drawText(lines[i], 0, top + ResultLineSpacing * static_cast<int32_t>(i), TextAlign::Center, TextSize,
                 nullptr);
}

void Game::drawOutcomeResult(bool won, const std::vector<std::string>& lines)
{
    drawText(won ? "Gewonnen!" : "Leider Verloren!", 0, 10, TextAlign::Center, 35, nullptr);
    drawResultLines(lines, LinesBelowHeading);
}
