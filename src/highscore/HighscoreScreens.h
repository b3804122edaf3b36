#pragma once

class HighscoreTable;

// The list of a table under "Highscore von " + title, ten rows. (The name-entry screen is
// Game::drawNameEntryScreen, since it shows the game's score and typed name.)
void drawHighscoreScreen(const HighscoreTable& table);
