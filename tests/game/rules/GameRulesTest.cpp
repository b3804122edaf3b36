// "weiter" at the end of a game: what it moves on to, and that it tells whether it moved.
#include <gtest/gtest.h>

#include "game/rules/GameRules.h"
#include "highscore/rules/HighscoreRows.h"

TEST(EndOfGame, WeiterMovesOnOnlyFromTheResultOrATypedName)
{
    const std::tuple<GameState, int32_t, std::string, GameState> cases[] = {
        {GameResults, 70, "", NameEntry},
        {GameResults, 10, "", ShowHighscores},
        {NameEntry, 70, "", NameEntry},
        {NameEntry, 70, "Eva", ShowHighscores},
        {Playing, 70, "", Playing},
        {LevelResults, 70, "", LevelResults},
        {ShowHighscores, 70, "", ShowHighscores},
    };
    for (const auto& [state, score, name, next] : cases) {
        HighscoreRows list("Liste", 1);
        list.insert("Max", 50);
        GameCore game;
        game.state = state;
        game.finalScore = score;
        game.playerName = name;
        EXPECT_EQ(continueEndOfGame(game, list, " (2)"), next != state) << state;
        EXPECT_EQ(game.state, next) << state;
        EXPECT_EQ(list.name(0), next == ShowHighscores && state == NameEntry ? "Eva (2)" : "Max");
    }
}
