#include <gtest/gtest.h>

#include "TestSupport.h"
#include "app/Application.h"
#include "app/Redraw.h"
#include "game/Game.h"
#include "gfx/Tileset.h"

using namespace testing_support;

namespace {

class DeletionCountingGame : public Game {
public:
    explicit DeletionCountingGame(int& deletions) : deletions(deletions) {}
    ~DeletionCountingGame() override { ++deletions; }
    void click(int32_t, int32_t) override {}
    void draw() override {}
    void tick() override {}
    void leave() override {}

private:
    int& deletions;
};

}  // namespace

class ApplicationLifetime : public testing::Test {
protected:
    TempDataDir data;
    DummyScreen screen;
};

TEST_F(ApplicationLifetime, StartsInTheMainMenuWithTheFifthSetTheMusicAndOneRedrawRequest)
{
    Application app{32};
    EXPECT_EQ(app.screen, MainMenu);
    EXPECT_EQ(app.game, nullptr);
    EXPECT_EQ(app.shownHighscores, nullptr);
    EXPECT_TRUE(app.music.isPlaying());
    ASSERT_NE(tileSheet, nullptr);
    ASSERT_NE(tileRects, nullptr);
    for (int k = 0; k < TileColourCount; ++k) {
        EXPECT_EQ(tileRects[k].x, 32 * k);
        EXPECT_EQ(tileRects[k].y, 640);
        EXPECT_EQ(tileRects[k].w, 32);
        EXPECT_EQ(tileRects[k].h, 32);
    }
    SDL_Event queued[4];
    ASSERT_EQ(SDL_PeepEvents(queued, 4, SDL_GETEVENT, SDL_ALLEVENTS), 1);
    EXPECT_EQ(queued[0].type, SDL_USEREVENT);
    EXPECT_EQ(queued[0].user.code, 0);
    EXPECT_EQ(queued[0].user.data1, nullptr);
    EXPECT_EQ(queued[0].user.data2, nullptr);
}

TEST_F(ApplicationLifetime, EndingDeletesTheRunningGameAndFreesTheTileSheet)
{
    int deletions = 0;
    {
        Application app{32};
        app.game = new DeletionCountingGame(deletions);
        app.screen = InGame;
    }
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(tileSheet, nullptr);
    EXPECT_EQ(tileRects, nullptr);
}

TEST(RedrawEvent, IsAUserEventWithCodeZeroAndNoData)
{
    EXPECT_EQ(redrawEvent.type, SDL_USEREVENT);
    EXPECT_EQ(redrawEvent.user.code, 0);
    EXPECT_EQ(redrawEvent.user.data1, nullptr);
    EXPECT_EQ(redrawEvent.user.data2, nullptr);
}

TEST(VariantNames, AreTheFourDisplayNamesInOrder)
{
    EXPECT_EQ(variantNames[0], "Standart Click");
    EXPECT_EQ(variantNames[1], "Chaos Click");
    EXPECT_EQ(variantNames[2], "Speed Click");
    EXPECT_EQ(variantNames[3], "FallDown Click");
}
