#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "VariantTestSupport.h"
#include "app/Application.h"
#include "highscore/HighscoreTable.h"
#include "variants/StandardGame.h"

using namespace testing_support;

namespace {

// Three 3s stacked in column 0, a pair of 2s, and lone tiles around them.
const std::vector<std::string_view> smallBoard = {
    "3....",
    "3122.",
    "34141",
};

class StandardGameTest : public VariantTest {
protected:
    DummyScreen screen{true};
    StandardGame game;

    void clickCell(int column, int row) { game.click(pixelOf(column), pixelOf(row)); }

    // "weiter" is only clickable once it has been drawn.
    void clickContinue()
    {
        game.draw();
        game.click(continueButton.x + continueButton.w / 2, continueButton.y + continueButton.h / 2);
    }

    // The level as if it had been played to its end: this board left, these counters, and the
    // clock started `milliseconds` before the end.
    void endLevel(int16_t level, int16_t points, int16_t clicks, const Board& left, uint32_t milliseconds)
    {
        game.level = level;
        game.startLevel();
        game.levelPoints = points;
        game.levelClicks = clicks;
        game.board = left;
        game.startTicks = clock.now();
        game.levelClockRunning = true;
        clock.advance(milliseconds);
        game.finishLevel();
    }
};

TEST_F(StandardGameTest, WorkedExampleAddsThreeHundredAndTwoToTheTotals)
{
    game.totalScore = 1000;
    game.totalClicks = 30;
    game.totalTilesLeft = 12;
    game.totalSeconds = 7;
    endLevel(2, 300, 20, loneTiles(45), 10000);

    EXPECT_EQ(game.state, LevelResults);
    EXPECT_EQ(game.tilesLeft, 45);
    EXPECT_EQ(game.levelSeconds, 10);
    EXPECT_EQ(game.levelBonus, 2);  // (15 - 10)^2 / 10
    EXPECT_EQ(game.totalScore, 1302);
    EXPECT_EQ(game.totalClicks, 50);
    EXPECT_EQ(game.totalTilesLeft, 57);
    EXPECT_EQ(game.totalSeconds, 17);
}

struct BonusCase {
    const char* what;
    int16_t level;
    int16_t points;
    int16_t clicks;
    int tilesLeft;
    uint32_t milliseconds;
    int16_t bonus;
};

TEST_F(StandardGameTest, LevelBonusRaisesTheDifferenceToTheLevelAndSharesItOutOverTheSeconds)
{
    const BonusCase cases[] = {
        {"d 5 in level 3 gives 125", 3, 5, 1, 0, 0, 125},
        {"less than one second keeps the undivided bonus", 3, 5, 1, 0, 999, 125},
        {"two seconds halve it", 3, 5, 1, 0, 2000, 62},
        {"d 1 is not raised", 4, 1, 1, 0, 0, 1},
        {"d 1 over two seconds is 0", 4, 1, 1, 0, 2000, 0},
        {"d 0 gives nothing", 3, 10, 1, 45, 0, 0},
        {"a negative d gives nothing", 3, 5, 1, 45, 0, 0},
        {"200^2 = 40000 wraps to a negative 16-bit value and ends as 0", 2, 200, 1, 0, 0, 0},
        {"300^2 = 90000 keeps its low 16 bits", 2, 300, 1, 0, 0, 24464},
        {"2000^3 passes 32 bits and keeps its low 16 bits", 3, 2000, 1, 0, 0, 20480},
        {"3000^6 passes 64 bits; its low 16 bits are 0", 6, 3000, 1, 0, 0, 0},
        {"points per click truncate: 29 / 2 = 14, 14 - 10 = 4, 4^2", 2, 29, 2, 45, 0, 16},
    };
    for (const BonusCase& c : cases) {
        SCOPED_TRACE(c.what);
        game.totalScore = 0;
        endLevel(c.level, c.points, c.clicks, loneTiles(c.tilesLeft), c.milliseconds);
        EXPECT_EQ(game.levelBonus, c.bonus);
        EXPECT_EQ(game.totalScore, c.bonus + c.points);
    }
}

TEST_F(StandardGameTest, TotalScoreKeepsOnlyItsLow16Bits)
{
    game.totalScore = 32000;
    endLevel(1, 1000, 1000, Board{}, 5000);  // d = 1, bonus 1 / 5 = 0
    EXPECT_EQ(game.totalScore, 33000 - 65536);
}

TEST_F(StandardGameTest, ClickOnAGroupScoresPerRemovedTileBeyondTheFirstAndCollapses)
{
    game.level = 3;
    game.board = boardFromBottomRows(smallBoard);
    clickCell(0, 16);

    EXPECT_EQ(game.levelClicks, 1);
    EXPECT_EQ(game.levelPoints, 8);  // three tiles, four colours: 2 * 4
    EXPECT_EQ(game.board, boardFromBottomRows({"122.", "4141"}));
    EXPECT_EQ(game.state, Playing);
}

struct ClickCase {
    const char* what;
    int16_t x;
    int16_t y;
    int16_t clicks;
};

TEST_F(StandardGameTest, ClicksThatRemoveNothingCountOnlyWhenTheyHitATile)
{
    const ClickCase cases[] = {
        {"a lone tile", pixelOf(1), pixelOf(17), 1},
        {"an empty cell", pixelOf(4), pixelOf(16), 0},
        {"the top left corner, empty", 0, 0, 0},
        {"below the board", 400, 590, 0},
        {"left of the window", -5, pixelOf(17), 0},
    };
    for (const ClickCase& c : cases) {
        SCOPED_TRACE(c.what);
        game.startLevel();
        game.board = boardFromBottomRows(smallBoard);
        game.click(c.x, c.y);
        EXPECT_EQ(game.levelClicks, c.clicks);
        EXPECT_EQ(game.levelPoints, 0);
        EXPECT_EQ(game.board, boardFromBottomRows(smallBoard));
        EXPECT_EQ(game.state, Playing);
    }
}

TEST_F(StandardGameTest, LastGroupEndsTheLevelWithTheTimeSinceTheFirstClickOnATile)
{
    game.board = boardFromBottomRows({"4...", "1122"});
    const uint32_t firstClick = clock.now();
    clickCell(0, 16);  // lone: starts the clock
    clock.advance(4000);
    clickCell(0, 17);  // the 1s; the 2s close up to columns 1 and 2
    EXPECT_EQ(game.state, Playing);
    clock.advance(3500);
    clickCell(1, 17);

    EXPECT_EQ(game.state, LevelResults);
    EXPECT_EQ(game.startTicks, firstClick);
    EXPECT_EQ(game.levelSeconds, 7);
    EXPECT_EQ(game.levelClicks, 3);
    EXPECT_EQ(game.levelPoints, 4);
    EXPECT_EQ(game.tilesLeft, 1);
}

TEST_F(StandardGameTest, LevelWithoutAClickOnATileTakesNoTimeAndHasNoPointsPerClick)
{
    // Level 1 starts its clock on a lone tile and ends four seconds later.
    game.board = boardFromBottomRows({"2.", "11"});
    clickCell(0, 16);
    clock.advance(4000);
    clickCell(0, 17);
    ASSERT_EQ(game.state, LevelResults);
    EXPECT_EQ(game.levelSeconds, 4);

    clickContinue();
    ASSERT_EQ(game.level, 2);
    game.board = loneTiles(9);  // dealt without a move
    clock.advance(60000);
    game.click(400, 590);

    EXPECT_EQ(game.state, LevelResults);
    EXPECT_EQ(game.levelClicks, 0);
    EXPECT_EQ(game.levelSeconds, 0);
    EXPECT_EQ(game.levelBonus, 0);
    EXPECT_EQ(game.totalSeconds, 4);
}

TEST_F(StandardGameTest, ClickCounterWrappedToZeroGivesNoPointsPerClick)
{
    game.level = 4;
    game.board = loneTiles(20);
    game.levelPoints = 500;
    game.levelClicks = toInt16(65535);
    game.startTicks = clock.now();
    game.levelClockRunning = true;
    clickCell(0, 17);  // the 65,536th click, and the board has no move

    EXPECT_EQ(game.state, LevelResults);
    EXPECT_EQ(game.levelClicks, 0);
    EXPECT_EQ(game.levelBonus, 0);  // 500 / 0 is not taken as any number of points
    EXPECT_EQ(game.totalScore, 500);
}

TEST_F(StandardGameTest, LevelClockIsNotRestartedWhenTheClickCounterWrapsToZero)
{
    game.board = boardFromBottomRows({"1...", "2.33"});
    clickCell(0, 17);
    game.levelClicks = toInt16(65535);
    clock.advance(3000);
    clickCell(0, 17);  // counter wraps to 0
    clock.advance(2000);
    clickCell(0, 16);  // counter 0 before this click
    clock.advance(1000);
    clickCell(2, 17);

    ASSERT_EQ(game.state, LevelResults);
    EXPECT_EQ(game.levelSeconds, 6);
}

TEST_F(StandardGameTest, EachLevelDealsAFullBoardOfLevelPlusOneColours)
{
    for (int16_t level = 1; level <= StandardGame::LastLevel; ++level) {
        SCOPED_TRACE(level);
        game.level = level;
        game.levelPoints = 7;
        game.levelClicks = 3;
        game.levelBonus = 9;
        game.endTicks = 1234;
        game.state = LevelResults;
        game.startLevel();

        const std::set<uint16_t> colours(game.board.begin(), game.board.end());
        std::set<uint16_t> expected;
        for (uint16_t v = 1; v <= level + 1; ++v)
            expected.insert(v);
        EXPECT_EQ(colours, expected);  // 450 cells: every colour turns up
        EXPECT_EQ(game.state, Playing);
        EXPECT_EQ(game.levelPoints, 0);
        EXPECT_EQ(game.levelClicks, 0);
        EXPECT_EQ(game.levelBonus, 0);
        EXPECT_EQ(game.endTicks, 0u);
    }
}

TEST_F(StandardGameTest, ContinueLeadsToTheNextLevelAndAfterLevelSixToTheFinalResult)
{
    endLevel(3, 10, 2, loneTiles(4), 1000);
    game.click(pixelOf(1), pixelOf(17));  // not on "weiter"
    EXPECT_EQ(game.state, LevelResults);
    clickContinue();
    EXPECT_EQ(game.level, 4);
    EXPECT_EQ(game.state, Playing);
    EXPECT_EQ(game.occupiedCells(), BoardCells);

    endLevel(6, 10, 2, loneTiles(4), 1000);
    clickContinue();
    EXPECT_EQ(game.state, GameResults);
    EXPECT_EQ(game.level, 6);
    EXPECT_EQ(game.board, loneTiles(4));  // no new board after the last level
}

// --- screens ----------------------------------------------------------------------------

const std::string tildes(29, '~');
const std::string hyphens(37, '-');

TEST_F(StandardGameTest, PlayingScreenShowsPointsClicksAndMovesBelowTheBoard)
{
    game.board = boardFromBottomRows(smallBoard);
    game.levelPoints = 42;
    game.levelClicks = 7;
    TextRecorder recorder;
    game.draw();

    expectTexts(recorder.texts, {
        {"Punkte: 42", 0, 576, TextAlign::Left, 18},
        {"Klicks: 7", 0, 576, TextAlign::Center, 18},
        {"M\xF6glichkeiten: 5", 0, 576, TextAlign::Right, 18},
    });
}

TEST_F(StandardGameTest, LevelResultListsTheLevelLineByLine)
{
    game.totalScore = 1000;
    endLevel(2, 300, 20, loneTiles(45), 10000);
    TextRecorder recorder;
    game.draw();

    const std::vector<DrawnText> expected = resultScreen({
        "Zwischenergebniss Level 2",
        tildes,
        "Punkte: 300",
        "Klicks: 20",
        "Punkte pro Klick: 15",
        "Nicht entfernt: 10 %",
        "Schwierigkeit: 3 Farben",
        "Ben\xF6tigte Zeit: 10 Sekunden",
        "-> Bonus: 2 Punkte",
        hyphens,
        "Ergebniss f\xFCr dieses Level:",
        "302 Punkte",
        hyphens,
        "Derzeitiges Gesamtergebniss:",
        "1302 Punkte",
    });
    expectTexts(recorder.texts, expected);
}

TEST_F(StandardGameTest, LevelResultWithoutClicksLeavesLineFourEmptyInItsPlace)
{
    game.level = 5;
    game.board = loneTiles(90);
    game.click(400, 590);
    ASSERT_EQ(game.state, LevelResults);
    TextRecorder recorder;
    game.draw();

    ASSERT_EQ(recorder.texts.size(), 15u);
    const std::vector<DrawnText> aroundTheGap(recorder.texts.begin() + 3, recorder.texts.begin() + 8);
    expectTexts(aroundTheGap, {
        resultLineAt(3, "Klicks: 0"),
        resultLineAt(5, "Nicht entfernt: 20 %"),
        resultLineAt(6, "Schwierigkeit: 6 Farben"),
        resultLineAt(7, "Ben\xF6tigte Zeit: 0 Sekunden"),
        resultLineAt(8, "-> Bonus: 0 Punkte"),
    });
}

TEST_F(StandardGameTest, LevelResultSumsBonusAndPointsBeyondSixteenBits)
{
    game.state = LevelResults;
    game.levelPoints = 30000;
    game.levelClicks = 1;
    game.levelBonus = 30000;
    game.totalScore = toInt16(60000);
    TextRecorder recorder;
    game.draw();

    EXPECT_TRUE(recorder.contains("60000 Punkte"));
    EXPECT_TRUE(recorder.contains(std::to_string(60000 - 65536) + " Punkte"));
}

TEST_F(StandardGameTest, FinalResultListsTheGameLineByLine)
{
    game.state = GameResults;
    game.level = 6;
    game.totalScore = 1792;
    game.totalClicks = 12;
    game.totalTilesLeft = 540;
    game.totalSeconds = 21;
    TextRecorder recorder;
    game.draw();

    const std::vector<DrawnText> expected = resultScreen({
        "Endeergebniss des Spiels",
        tildes,
        "Punkte: 1792",
        "Klicks: 12",
        "Punkte pro Klick: 149",
        "Nicht entfernt: 20 %",
        "Ben\xF6tigte Zeit: 21 Sekunden",
        hyphens,
        "Gesamtergebniss: 1792 Punkte",
    });
    expectTexts(recorder.texts, expected);
}

TEST_F(StandardGameTest, FinalResultWithoutClicksLeavesLineFourEmpty)
{
    game.state = GameResults;
    game.totalScore = 0;
    game.totalClicks = 0;
    TextRecorder recorder;
    game.draw();

    for (const DrawnText& t : recorder.texts)
        EXPECT_NE(t.y, 150) << t.text;
    EXPECT_TRUE(recorder.contains("Nicht entfernt: 0 %"));
}

TEST_F(StandardGameTest, NameEntryAndListScreensShowTheGameScoreAndTheTable)
{
    game.state = NameEntry;
    game.finalScore = 321;
    game.playerName = "Ada";
    TextRecorder recorder;
    game.draw();
    EXPECT_TRUE(recorder.contains("Sie haben 321 Punkte"));
    EXPECT_TRUE(recorder.contains("Ada"));
    ASSERT_FALSE(recorder.texts.empty());
    EXPECT_EQ(recorder.texts.back().text, "weiter");

    recorder.clear();
    game.state = ShowHighscores;
    game.draw();
    EXPECT_TRUE(recorder.contains("Highscore von Standart Click"));
    EXPECT_FALSE(recorder.contains("weiter"));
}

TEST_F(StandardGameTest, BoardStaysBehindTheLevelResultOnly)
{
    const struct {
        GameState state;
        bool boardShown;
    } cases[] = {
        {Playing, true}, {LevelResults, true}, {GameResults, false}, {NameEntry, false}, {ShowHighscores, false},
    };
    const SDL_Rect bottomLeftTile{0, 17 * TileSize, TileSize, TileSize};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        game.board.fill(1);
        game.levelClicks = 1;
        game.totalClicks = 1;
        game.state = c.state;
        screen.clear();
        game.draw();
        EXPECT_EQ(screen.countNonBlack(bottomLeftTile) > 0, c.boardShown);
    }
}

// --- a whole game through the Application ------------------------------------------------

class StandardWholeGame : public testing::TestWithParam<int> {
protected:
    TempDataDir dir;
    FakeClock clock;

    void SetUp() override
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO), 0) << SDL_GetError();
        ASSERT_EQ(TTF_Init(), 0);
    }
    void TearDown() override
    {
        TTF_Quit();
        SDL_Quit();
    }
};

void clickCentre(Application& app, const SDL_Rect& rect)
{
    ASSERT_GT(rect.w, 0);
    app.handleClick(static_cast<int16_t>(rect.x + rect.w / 2), static_cast<int16_t>(rect.y + rect.h / 2));
}

const DrawnText* textAt(const TextRecorder& recorder, int32_t y)
{
    for (const DrawnText& t : recorder.texts)
        if (t.y == y)
            return &t;
    return nullptr;
}

std::string highscoreFile(int lastScore)
{
    std::string file;
    const char* names[] = {"Anna", "Bert", "Cora", "Dirk", "Emil", "Fina", "Gero", "Hugo", "Ines", "Jule"};
    for (int i = 0; i < 9; ++i)
        file += std::string(names[i]) + ";" + std::to_string(20000 - 1000 * i) + "\n";
    return file + names[9] + ";" + std::to_string(lastScore) + "\n";
}

// Each level deals "1122" on the bottom row: two pairs, two clicks, L + 1 points each,
// then level L takes L seconds. Bonus (L + 1)^L / L; 7^6 = 117649 wraps to -13423, so 0.
struct LevelExpectation {
    int16_t bonus;
    int16_t total;
};
const LevelExpectation levels[] = {{2, 6}, {4, 16}, {21, 45}, {156, 211}, {1555, 1778}, {0, 1792}};
constexpr int FinalScore = 1792;

TEST_P(StandardWholeGame, SixLevelsByClicksThenTheListAndItsFile)
{
    const int lastRow = GetParam();
    const bool entersList = FinalScore > lastRow;
    dir.writeFile("Data/var1.hsc", highscoreFile(lastRow));
    Application app(32);
    auto* game = new StandardGame();
    app.game = game;
    app.screen = InGame;
    TextRecorder recorder;

    for (int level = 1; level <= 6; ++level) {
        SCOPED_TRACE(level);
        ASSERT_EQ(game->state, Playing);
        ASSERT_EQ(game->level, level);
        game->board = boardFromBottomRows({"1122"});
        app.draw();
        app.handleClick(pixelOf(0), pixelOf(17));
        clock.advance(1000 * level);
        app.handleClick(pixelOf(1), pixelOf(17));  // the 2s have moved into columns 0 and 1
        ASSERT_EQ(game->state, LevelResults);

        recorder.clear();
        app.draw();
        const LevelExpectation& e = levels[level - 1];
        const std::string points = std::to_string(2 * (level + 1));
        const std::vector<std::pair<int, std::string>> shown = {
            {0, "Zwischenergebniss Level " + std::to_string(level)},
            {2, "Punkte: " + points},
            {4, "Punkte pro Klick: " + std::to_string(level + 1)},
            {7, "Ben\xF6tigte Zeit: " + std::to_string(level) + " Sekunden"},
            {8, "-> Bonus: " + std::to_string(e.bonus) + " Punkte"},
            {14, std::to_string(e.total) + " Punkte"},
        };
        for (const auto& [line, text] : shown) {
            const DrawnText* t = textAt(recorder, 50 + 25 * line);
            ASSERT_NE(t, nullptr) << text;
            EXPECT_EQ(t->text, text);
        }
        EXPECT_FALSE(recorder.contains("(ende)"));
        clickCentre(app, continueButton);
    }

    ASSERT_EQ(game->state, GameResults);
    recorder.clear();
    app.draw();
    EXPECT_TRUE(recorder.contains("Punkte pro Klick: 149"));  // 1792 / 12
    EXPECT_TRUE(recorder.contains("Ben\xF6tigte Zeit: 21 Sekunden"));
    EXPECT_TRUE(recorder.contains("Gesamtergebniss: 1792 Punkte"));
    clickCentre(app, continueButton);

    if (entersList) {
        ASSERT_EQ(game->state, NameEntry);
        app.draw();
        clickCentre(app, continueButton);  // nothing typed yet
        ASSERT_EQ(game->state, NameEntry);
        for (uint16_t key : std::initializer_list<uint16_t>{'A', 'd', 'x', 8, 'a'})
            app.handleKey(key);
        EXPECT_EQ(game->playerName, "Ada");
        clickCentre(app, continueButton);  // handleKey has drawn the screen
    }
    ASSERT_EQ(game->state, ShowHighscores);
    recorder.clear();
    app.draw();
    const DrawnText* lastName = nullptr;
    for (const DrawnText& t : recorder.texts)
        if (t.y == 520 && t.x == 0)
            lastName = &t;
    ASSERT_NE(lastName, nullptr);
    EXPECT_EQ(lastName->text, entersList ? "Ada" : "Jule");

    clickCentre(app, app.backButton);
    EXPECT_EQ(app.game, nullptr);
    EXPECT_EQ(app.screen, MainMenu);
    const std::string file = dir.readFile("Data/var1.hsc");
    EXPECT_NE(file.find("Ines;12000"), std::string::npos);
    EXPECT_EQ(file.find("Ada;1792") != std::string::npos, entersList);
    EXPECT_EQ(file.find("Jule;") != std::string::npos, !entersList);
}

// A last row equal to the final score keeps the player out; one point less lets them in.
INSTANTIATE_TEST_SUITE_P(LastRowOfTheList, StandardWholeGame, testing::Values(FinalScore, FinalScore - 1));

}  // namespace
