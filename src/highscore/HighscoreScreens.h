#pragma once
#include <cstdint>
#include <string>

class HighscoreRows;

// The list under "Highscore von " + its title: place, name and score of ten rows, whatever the
// list holds (a row beyond it shows its place and a 0).
void drawHighscoreScreen(const HighscoreRows& list);

// The congratulation with the finished game's score, and the end of the name typed so far.
void drawNameEntryScreen(int32_t finalScore, const std::string& playerName);
