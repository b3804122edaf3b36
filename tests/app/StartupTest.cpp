// The real program started in a prepared working directory, for the failures that end it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace testing_support;

// The message ends standard error; only the music's, which has no line break, may come before it.
// A missing icon is silent.
TEST(StartupFailure, MissingAssetsAMisshapenTilesetOrNoVideoEndTheProgramWithTheirMessage)
{
    const std::string noFont = "Konnte Font-File nicht laden!: [^\n]+\n";
    const std::string noTiles = "Konnte Data/tileset\\.bmp nicht laden\\.\n";
    const struct {
        std::vector<std::string> assets;
        int tilesetWidth, tilesetHeight;  // a black template of this size, 0: none written
        std::string error;
        std::string videoDriver = "dummy";
    } cases[] = {
        {{"tileset.bmp", "Musik.wav", "icon.bmp"}, 0, 0, noFont},
        {{"tileset.bmp"}, 0, 0, "Keine Audio-Datei ge\xF6" "ffnet!" + noFont},
        {{"boulder.ttf", "Musik.wav", "icon.bmp"}, 0, 0, noTiles},
        {{"boulder.ttf", "Musik.wav", "icon.bmp"}, 64, 671, noTiles},  // one row too short
        {{"boulder.ttf", "Musik.wav", "icon.bmp"}, 65, 672, noTiles},  // one column too wide
        {{"boulder.ttf", "tileset.bmp"}, 0, 0, "SDL konnte nicht initialisiert werden: [^\n]+\n", "no-such-driver"},
    };
    for (const auto& c : cases) {
        TempDataDir dir{c.assets};
        if (c.tilesetWidth > 0)
            writeBmp(dir.data() / "tileset.bmp", c.tilesetWidth, c.tilesetHeight, [](int, int) { return SDL_Color{}; });
        // exit() on purpose: what is still allocated then is not lost
        const auto result = runProcess({gameBinary()}, dir.path(),
                                       {{"ASAN_OPTIONS", "detect_leaks=0"}, {"SDL_VIDEODRIVER", c.videoDriver}}, 120);
        EXPECT_EQ(result.status, 1) << c.error;
        EXPECT_THAT(result.err, testing::MatchesRegex(c.error));
    }
}
