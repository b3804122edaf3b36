#include <gtest/gtest.h>

#include <tuple>

#include "TestSupport.h"
#include "app/Application.h"
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

class ApplicationLifetime : public testing::Test {
protected:
    TempDataDir data;
    DummyScreen screen;
};

}  // namespace

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
        const SDL_Rect r = tileRects[k];
        EXPECT_EQ(std::make_tuple(r.x, r.y, r.w, r.h), std::make_tuple(32 * k, 640, 32, 32)) << "colour " << k;
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
