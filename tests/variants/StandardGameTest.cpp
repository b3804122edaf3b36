// Standart Click: the level bonus, the clicks and the clock of a level, the screens, and a
// whole game of six levels through the Application.
#include <SDL_ttf.h>

#include <set>

#include "VariantTestSupport.h"
#include "app/Application.h"
#include "variants/StandardGame.h"

using namespace testing_support;

namespace {

// Three 3s stacked in column 0, a pair of 2s, and lone tiles around them.
const std::vector<std::string_view> smallBoard = {"3....", "3122.", "34141"};

class StandardGameTest : public VariantTest {
protected:
    StandardGame game;

    void clickCell(int column, int row) { game.click(pixelOf(column), pixelOf(row)); }

    // The level as if played to its end: this board left, these counters, and the clock
    // started `milliseconds` before the end.
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

TEST_F(StandardGameTest, WorkedExampleAddsThreeHundredAndTwoAndListsTheLevelLineByLine)
{
    game.totalScore = 1000;
    game.totalClicks = 30;
    game.totalTilesLeft = 12;
    game.totalSeconds = 7;
    endLevel(2, 300, 20, loneTiles(45), 10000);

    EXPECT_EQ(game.state, LevelResults);
    EXPECT_EQ(game.totalClicks, 50);
    EXPECT_EQ(game.totalTilesLeft, 57);
    EXPECT_EQ(game.totalSeconds, 17);
    EXPECT_EQ(described(drawnTexts(game)), described(resultScreen({
        "Zwischenergebniss Level 2", titleRule, "Punkte: 300", "Klicks: 20", "Punkte pro Klick: 15",
        "Nicht entfernt: 10 %", "Schwierigkeit: 3 Farben", "Ben\xF6tigte Zeit: 10 Sekunden", "-> Bonus: 2 Punkte",
        totalRule, "Ergebniss f\xFCr dieses Level:", "302 Punkte", totalRule, "Derzeitiges Gesamtergebniss:",
        "1302 Punkte",
    })));
}

TEST_F(StandardGameTest, LevelBonusRaisesTheDifferenceToTheLevelAndSharesItOutOverTheSeconds)
{
    const struct {
        const char* what;
        int16_t level, points, clicks;
        int tilesLeft;
        uint32_t milliseconds;
        int16_t bonus;
    } cases[] = {
        {"less than one second keeps the undivided 5^3", 3, 5, 1, 0, 999, 125},
        {"two seconds halve it", 3, 5, 1, 0, 2000, 62},
        {"d 1 is not raised", 4, 1, 1, 0, 0, 1},
        {"d 0 gives nothing", 3, 10, 1, 45, 0, 0},
        {"a negative d is not raised to an even power", 2, 5, 1, 45, 0, 0},
        {"200^2 = 40000 wraps to a negative 16-bit value and ends as 0", 2, 200, 1, 0, 0, 0},
        {"points per click truncate: 29 / 2 = 14, 14 - 10 = 4, 4^2", 2, 29, 2, 45, 0, 16},
        {"no counted click (the counter wrapped to 0) shares out no points", 4, 500, 0, 20, 0, 0},
        {"the total keeps its low 16 bits: 30000 + 30000^1", 1, 30000, 1, 0, 0, 30000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        game.totalScore = 0;
        endLevel(c.level, c.points, c.clicks, loneTiles(c.tilesLeft), c.milliseconds);
        EXPECT_EQ(game.levelBonus, c.bonus);
        EXPECT_EQ(game.totalScore, toInt16(c.bonus + c.points));
    }
}

TEST_F(StandardGameTest, ClicksCountWhenTheyHitATileAndScoreWhenTheyRemoveAGroup)
{
    const struct {
        const char* what;
        int16_t x, y, clicks, points;
        std::vector<std::string_view> after;
    } cases[] = {
        {"the 3s in level 3: two tiles beyond the first, four colours", pixelOf(0), pixelOf(16), 1, 8,
         {"122.", "4141"}},
        {"a lone tile", pixelOf(1), pixelOf(17), 1, 0, smallBoard},
        {"an empty cell", pixelOf(4), pixelOf(16), 0, 0, smallBoard},
    };
    game.level = 3;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        game.startLevel();
        game.board = boardFromBottomRows(smallBoard);
        game.click(c.x, c.y);
        EXPECT_EQ(game.levelClicks, c.clicks);
        EXPECT_EQ(game.levelPoints, c.points);
        EXPECT_EQ(game.board, boardFromBottomRows(c.after));
        EXPECT_EQ(game.state, Playing);
    }
}

// The clock starts with the level's first click on a tile, and only once: a click counter that
// wraps to 0 does not start it again, and a level without such a click took no time, although
// startTicks still holds the previous level's start.
TEST_F(StandardGameTest, LevelTimeRunsFromItsFirstClickOnATileOnly)
{
    game.board = boardFromBottomRows({"1...", "2.33"});
    clickCell(0, 17);
    game.levelClicks = toInt16(65535);
    clock.advance(3000);
    clickCell(0, 17);  // counter wraps to 0
    clock.advance(2000);
    clickCell(0, 16);  // counter 0 before this click
    EXPECT_EQ(game.state, Playing);
    clock.advance(1500);
    clickCell(2, 17);
    ASSERT_EQ(game.state, LevelResults);
    EXPECT_EQ(game.levelSeconds, 6);
    EXPECT_EQ(game.levelClicks, 2);
    EXPECT_EQ(game.levelPoints, 2);

    game.draw();
    game.click(400, 580);  // "weiter"
    ASSERT_EQ(game.level, 2);
    game.board = loneTiles(9);  // dealt without a move
    clock.advance(60000);
    game.click(400, 590);
    EXPECT_EQ(game.state, LevelResults);
    EXPECT_EQ(game.levelSeconds, 0);
    EXPECT_EQ(game.totalSeconds, 6);
}

TEST_F(StandardGameTest, EachLevelDealsAFullBoardOfLevelPlusOneColours)
{
    for (int16_t level = 1; level <= StandardGame::LastLevel; ++level) {
        game.level = level;
        game.state = LevelResults;
        game.startLevel();
        std::set<uint16_t> expected;
        for (uint16_t v = 1; v <= level + 1; ++v)
            expected.insert(v);
        EXPECT_EQ(std::set<uint16_t>(game.board.begin(), game.board.end()), expected) << level;
        EXPECT_EQ(game.state, Playing);
    }
}

// Without clicks line 4 stays empty in its place; the level's own result sums in full while
// the total keeps its low 16 bits.
TEST_F(StandardGameTest, ScreensWhilePlayingWithoutClicksAndBeyondSixteenBits)
{
    game.board = boardFromBottomRows(smallBoard);
    game.levelPoints = 42;
    game.levelClicks = 7;
    EXPECT_EQ(described(drawnTexts(game)), described(statusBar("Punkte: 42", "Klicks: 7", "M\xF6glichkeiten: 5")));

    game.level = 5;
    game.startLevel();
    game.board = loneTiles(90);
    game.click(400, 590);  // no move: the level ends without a click
    const std::vector<DrawnText> level = drawnTexts(game);
    game.state = GameResults;
    const std::vector<DrawnText> ended = drawnTexts(game);
    endLevel(1, 30000, 1, Board{}, 0);  // bonus 30000^1
    const std::vector<DrawnText> wrapped = drawnTexts(game);
    const struct {
        const std::vector<DrawnText>& screen;
        int y;
        std::string text;
    } cases[] = {
        {level, 125, "Klicks: 0"}, {level, 150, ""}, {level, 175, "Nicht entfernt: 20 %"},
        {ended, 125, "Klicks: 0"}, {ended, 150, ""}, {ended, 175, "Nicht entfernt: 4 %"},  // of 5 * 450
        {wrapped, 325, "60000 Punkte"}, {wrapped, 400, "-5536 Punkte"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textAt(c.screen, c.y), c.text) << "at " << c.y;
}

TEST_F(StandardGameTest, BoardStaysBehindTheLevelResultOnly)
{
    const SDL_Rect bottomLeftTile{0, 17 * TileSize, TileSize, TileSize};
    for (GameState state : {Playing, LevelResults, GameResults, NameEntry, ShowHighscores}) {
        SCOPED_TRACE(state);
        game.board.fill(1);
        game.state = state;
        screen.clear();
        game.draw();
        EXPECT_EQ(screen.countNonBlack(bottomLeftTile) > 0, state == Playing || state == LevelResults);
    }
}

// --- a whole game through the Application ------------------------------------------------

class StandardWholeGame : public testing::TestWithParam<int> {
protected:
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

    TempDataDir dir;
    FakeClock clock;
};

void clickCentre(Application& app, const SDL_Rect& rect)
{
    ASSERT_GT(rect.w, 0);
    app.handleClick(int16_t(rect.x + rect.w / 2), int16_t(rect.y + rect.h / 2));
}

// Each level deals "1122" on the bottom row: two pairs, two clicks, L + 1 points each, and
// level L takes L seconds. Bonus (L + 1)^L / L; 7^6 = 117649 wraps to -13423, so 0.
const struct {
    int16_t bonus, total;
} levels[] = {{2, 6}, {4, 16}, {21, 45}, {156, 211}, {1555, 1778}, {0, 1792}};
constexpr int FinalScore = 1792;

TEST_P(StandardWholeGame, SixLevelsByClicksThenTheListAndItsFile)
{
    const int lastRow = GetParam();
    const bool entersList = FinalScore > lastRow;
    std::string list;
    for (int i = 0; i < 9; ++i)
        list += "Row" + std::to_string(i) + ";" + std::to_string(20000 - 1000 * i) + "\n";
    dir.writeFile("Data/var1.hsc", list + "Jule;" + std::to_string(lastRow) + "\n");
    Application app(32);
    auto* game = new StandardGame();
    app.game = game;
    app.screen = InGame;
    TextRecorder recorder;

    for (int level = 1; level <= 6; ++level) {
        SCOPED_TRACE(level);
        ASSERT_EQ(game->level, level);
        game->board = boardFromBottomRows({"1122"});
        app.draw();
        app.handleClick(pixelOf(0), pixelOf(17));
        clock.advance(1000 * level);
        app.handleClick(pixelOf(1), pixelOf(17));  // the 2s have moved into columns 0 and 1
        ASSERT_EQ(game->state, LevelResults);
        recorder.clear();
        app.draw();
        EXPECT_EQ(textAt(recorder.texts, 225), "Ben\xF6tigte Zeit: " + std::to_string(level) + " Sekunden");
        EXPECT_EQ(textAt(recorder.texts, 250), "-> Bonus: " + std::to_string(levels[level - 1].bonus) + " Punkte");
        EXPECT_EQ(textAt(recorder.texts, 400), std::to_string(levels[level - 1].total) + " Punkte");
        app.handleClick(pixelOf(1), pixelOf(17));  // not on "weiter"
        ASSERT_EQ(game->state, LevelResults);
        clickCentre(app, continueButton);
    }

    ASSERT_EQ(game->state, GameResults);
    EXPECT_EQ(game->occupiedCells(), 0) << "no new board after the last level";
    recorder.clear();
    app.draw();
    EXPECT_EQ(described(recorder.texts), described(endScreen({"Punkte: 1792", "Klicks: 12", "Punkte pro Klick: 149",
                                                             "Nicht entfernt: 0 %", "Ben\xF6tigte Zeit: 21 Sekunden"},
                                                            "1792 Punkte")));
    clickCentre(app, continueButton);
    if (entersList) {
        ASSERT_EQ(game->state, NameEntry);
        for (uint16_t key : {'A', 'd', 'x', '\b', 'a'})
            app.handleKey(key);
        clickCentre(app, continueButton);
    }
    ASSERT_EQ(game->state, ShowHighscores);
    recorder.clear();
    app.draw();
    const DrawnText* tenthRow = recorder.find(entersList ? "Ada" : "Jule");
    ASSERT_NE(tenthRow, nullptr);
    EXPECT_EQ(tenthRow->y, 520);

    clickCentre(app, app.backButton);
    EXPECT_EQ(app.game, nullptr);
    const std::string file = dir.readFile("Data/var1.hsc");
    EXPECT_NE(file.find("Row8;12000\n"), std::string::npos);
    EXPECT_EQ(file.find("Ada;1792\n") != std::string::npos, entersList);
    EXPECT_EQ(file.find("Jule;") != std::string::npos, !entersList);
}

// A last row equal to the final score keeps the player out; one point less lets them in.
INSTANTIATE_TEST_SUITE_P(LastRowOfTheList, StandardWholeGame, testing::Values(FinalScore, FinalScore - 1));

}  // namespace
