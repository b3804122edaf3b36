// The real program started with one damaged file in place of an asset: a template or a font it
// cannot use ends it with the game's own message, a piece of music it cannot play is reported and
// the start goes on (here up to the missing font), never a crash.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"

using namespace testing_support;

namespace {

std::string randomBytes(size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

std::string assetBytes(const char* name)
{
    TempDataDir data{{name}};
    return data.readFile(std::string("Data/") + name);
}

// The header of a template whose pixels would not fit into any memory.
std::string headerClaiming(std::string bmp, uint32_t width, uint32_t height)
{
    bmp.resize(54);
    for (int i = 0; i < 4; ++i) {
        bmp[18 + i] = static_cast<char>(width >> (8 * i));
        bmp[22 + i] = static_cast<char>(height >> (8 * i));
    }
    return bmp;
}

}  // namespace

TEST(StartupWithABadAsset, EndsWithTheAssetsMessageOrGoesOnWithoutMusic)
{
    const std::string tiles = assetBytes("tileset.bmp");
    const std::string font = assetBytes("boulder.ttf");
    const std::string tilesMessage = "Konnte Data/tileset\\.bmp nicht laden\\.\n";
    const std::string fontMessage = "Konnte Font-File nicht laden!: [^\n]+\n";
    const std::string musicMessage = "Keine Audio-Datei ge\xF6" "ffnet!";
    const struct {
        const char* asset;
        const char* what;
        std::string bytes;
        std::string standardError;  // a regular expression
    } cases[] = {
        {"tileset.bmp", "zero bytes", "", tilesMessage},
        {"tileset.bmp", "random bytes", randomBytes(5000, 672), tilesMessage},
        {"tileset.bmp", "the file header alone", tiles.substr(0, 14), tilesMessage},
        {"tileset.bmp", "the pixels cut off halfway", tiles.substr(0, tiles.size() / 2), tilesMessage},
        {"tileset.bmp", "the last pixel row missing", tiles.substr(0, tiles.size() - 64 * 3), tilesMessage},
        {"tileset.bmp", "a header claiming 64 x 1000000000", headerClaiming(tiles, 64, 1000000000), tilesMessage},
        {"tileset.bmp", "a header claiming 4294967295 x 672", headerClaiming(tiles, 4294967295u, 672), tilesMessage},
        {"boulder.ttf", "zero bytes", "", fontMessage},
        {"boulder.ttf", "the tile template", tiles, fontMessage},
        {"boulder.ttf", "the first half of the font", font.substr(0, font.size() / 2), fontMessage},
        {"Musik.wav", "random bytes", randomBytes(70000, 35), musicMessage + fontMessage},
        {"Musik.wav", "the header cut off", assetBytes("Musik.wav").substr(0, 30), musicMessage + fontMessage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.asset) + ", " + c.what);
        std::vector<std::string> assets;
        for (const std::string name : {"tileset.bmp", "boulder.ttf", "Musik.wav", "icon.bmp"})
            if (name != c.asset && (name != "boulder.ttf" || c.asset != std::string("Musik.wav")))
                assets.push_back(name);
        TempDataDir dir{assets};
        dir.writeFile(std::string("Data/") + c.asset, c.bytes);
        // The program ends with exit() on purpose; what is still allocated then is not lost.
        const ProcessResult result = runProcess({gameBinary()}, dir.path(), {{"ASAN_OPTIONS", "detect_leaks=0"}}, 120);
        EXPECT_EQ(result.status, 1);
        EXPECT_THAT(result.err, testing::MatchesRegex(c.standardError));
    }
}
