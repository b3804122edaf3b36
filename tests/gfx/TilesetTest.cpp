#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "TestSupport.h"
#include "gfx/Screen.h"
#include "gfx/Tileset.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

constexpr int Layer = 32;
constexpr int SheetHeight = 672;

SDL_Surface* inDisplayFormat(SDL_Surface* surface)
{
    SDL_Surface* converted = SDL_DisplayFormat(surface);
    SDL_FreeSurface(surface);
    return converted;
}

// The sheet by colour-keyed blits: each colour's layers filled with the halved and the full colour,
// the template over them keyed on white, then both layers onto black keyed on black.
SDL_Surface* stampedSheet()
{
    constexpr SDL_Color colours[7] = {{255, 0, 0, 0},   {0, 255, 0, 0},   {0, 0, 255, 0},     {255, 255, 0, 0},
                                      {0, 255, 255, 0}, {255, 0, 255, 0}, {200, 200, 200, 0}};
    SDL_Surface* pattern = inDisplayFormat(SDL_LoadBMP("Data/tileset.bmp"));
    SDL_SetColorKey(pattern, SDL_SRCCOLORKEY, SDL_MapRGB(pattern->format, 255, 255, 255));
    SDL_Surface* stamp = inDisplayFormat(SDL_CreateRGBSurface(SDL_SWSURFACE, 2 * Layer, SheetHeight, 8, 0, 0, 0, 0));
    SDL_SetColorKey(stamp, SDL_SRCCOLORKEY, SDL_MapRGB(stamp->format, 0, 0, 0));
    SDL_Surface* sheet = inDisplayFormat(SDL_CreateRGBSurface(SDL_SWSURFACE, 7 * Layer, SheetHeight, 8, 0, 0, 0, 0));
    SDL_Rect base{0, 0, Layer, SheetHeight}, top{Layer, 0, Layer, SheetHeight};
    for (int k = 0; const SDL_Color c : colours) {
        SDL_FillRect(stamp, &base, SDL_MapRGB(stamp->format, c.r / 2, c.g / 2, c.b / 2));
        SDL_FillRect(stamp, &top, SDL_MapRGB(stamp->format, c.r, c.g, c.b));
        SDL_BlitSurface(pattern, nullptr, stamp, nullptr);
        for (SDL_Rect source : {base, top}) {
            SDL_Rect destination{Sint16(k * Layer), 0, 0, 0};
            SDL_BlitSurface(stamp, &source, sheet, &destination);
        }
        ++k;
    }
    SDL_FreeSurface(pattern);
    SDL_FreeSurface(stamp);
    return sheet;
}

// A white template of the size given, whose header may claim another height.
std::string templateBytes(int width, int height, uint32_t claimedHeight = 0)
{
    TempDataDir scratch{std::vector<std::string>{}};
    writeBmp(scratch.data() / "t.bmp", width, height, [](int, int) { return SDL_Color{255, 255, 255, 0}; });
    std::string bmp = scratch.readFile("Data/t.bmp");
    return claimedHeight ? bmp.replace(22, 4, reinterpret_cast<const char*>(&claimedHeight), 4) : bmp;
}

}  // namespace

// Tiles are read as the game shows them: the right layer over the left one, black letting through.
TEST(GeneratedTemplate, EverySetTakesTheColourInBothTintsAndTheFramesShrink)
{
    SDL_Surface* pattern = SDL_LoadBMP((assetDir() / "tileset.bmp").c_str());
    ASSERT_TRUE(pattern && pattern->w == 64 && pattern->h == 672 && pattern->format->BytesPerPixel == 3);
    // How many pixels of the tile at row `top` have a left and a right layer pixel (0xRRGGBB) as wanted.
    auto count = [&](int top, auto wanted) {
        int n = 0;
        for (int y = top, x = 0; y < top + Layer; x = (x + 1) % Layer, y += x == 0) {
            const Uint8* p = static_cast<const Uint8*>(pattern->pixels) + y * pattern->pitch + 3 * x;
            n += wanted(p[0] | p[1] << 8 | p[2] << 16, p[3 * Layer] | p[3 * Layer + 1] << 8 | p[3 * Layer + 2] << 16);
        }
        return n;
    };
    for (int n = 0; n < 5; ++n) {
        EXPECT_GT(count(160 * n, [](int, int over) { return over == 0xFFFFFF; }), 150) << "full colour, set " << n;
        EXPECT_GT(count(160 * n, [](int base, int over) { return over == 0 && base == 0xFFFFFF; }), 20) << "halved, set " << n;
    }
    for (int frame = 1, previous = Layer * Layer; frame <= 4; ++frame) {
        const int visible = count(Layer * frame, [](int base, int over) { return (base | over) != 0; });
        EXPECT_TRUE(visible < previous && visible > 0) << "frame " << frame;
        previous = visible;
    }
    SDL_FreeSurface(pattern);
}

// Any template SDL loads with at least the sets' size, at every depth. Only pure white takes the colour:
// an 8-bit palette without it (near whites, black, tile colours) must not lend the key to its closest colour.
TEST(TileSheetAtEveryDepth, HoldsWhatStampingTheTemplateThroughColourKeysGives)
{
    const SDL_Color palette[] = {{0, 0, 0, 0},     {254, 255, 255, 0}, {255, 255, 251, 0}, {3, 2, 1, 0},     {0, 0, 7, 0},
                                 {128, 128, 128, 0}, {255, 0, 0, 0},     {127, 0, 0, 0},     {200, 200, 200, 0}};
    std::mt19937 random(2);
    for (bool generated : {true, false}) {
        for (int depth : {8, 16, 24, 32}) {
            SCOPED_TRACE(testing::Message() << generated << " " << depth);
            TempDataDir data{generated ? std::vector<std::string>{"tileset.bmp"} : std::vector<std::string>{}};
            if (!generated) {  // far taller than needed
                SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 2 * Layer, 4000, 8, 0, 0, 0, 0);
                SDL_SetColors(surface, const_cast<SDL_Color*>(palette), 0, std::size(palette));
                std::generate_n(static_cast<Uint8*>(surface->pixels), surface->pitch * surface->h,
                                [&] { return random() % std::size(palette); });
                SDL_SaveBMP(surface, "Data/tileset.bmp");
                SDL_FreeSurface(surface);
            }
            ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
            screenSurface = SDL_SetVideoMode(WindowWidth, WindowHeight, depth, SDL_SWSURFACE);
            ASSERT_TRUE(screenSurface && screenSurface->format->BitsPerPixel == depth);
            loadTileset();
            SDL_Surface* expected = stampedSheet();
            EXPECT_EQ(tileSheet->format->BitsPerPixel, depth);
            EXPECT_FALSE(tileSheet->flags & SDL_SRCCOLORKEY) << "black tiles would show what lies behind them";
            ASSERT_TRUE(tileSheet->w == expected->w && tileSheet->h == expected->h);
            auto row = [](SDL_Surface* surface, int y) { return static_cast<Uint8*>(surface->pixels) + y * surface->pitch; };
            for (int y = 0; y < expected->h; ++y)
                ASSERT_EQ(std::memcmp(row(tileSheet, y), row(expected, y), expected->w * depth / 8), 0) << "row " << y;
            SDL_FreeSurface(expected);
            freeTileset();
            screenSurface = nullptr;
            SDL_Quit();
        }
    }
}

// The real program with a damaged template or font: the game's message, never a crash.
TEST(StartupWithABadAsset, EndsWithTheAssetsMessage)
{
    const std::string tiles = templateBytes(64, 672);
    std::string random(5000, '\0');
    std::generate(random.begin(), random.end(), std::mt19937(672));
    const std::string noTiles = "Konnte Data/tileset\\.bmp nicht laden\\.\n", noFont = "Konnte Font-File nicht laden!: [^\n]+\n";
    const std::string font = TempDataDir{{"boulder.ttf"}}.readFile("Data/boulder.ttf");
    for (const auto& [asset, bytes] : {std::pair<std::string, std::string>{"tileset.bmp", ""},
                                       {"tileset.bmp", random},
                                       {"tileset.bmp", tiles.substr(0, tiles.size() - 64 * 3)},  // the last pixel row missing
                                       {"tileset.bmp", templateBytes(1, 1)},
                                       {"tileset.bmp", templateBytes(64, 2, 1000000000)},  // a header claiming 10^9 rows
                                       {"boulder.ttf", tiles},
                                       {"boulder.ttf", font.substr(0, font.size() / 2)}}) {
        SCOPED_TRACE(asset + ", " + std::to_string(bytes.size()) + " bytes");
        TempDataDir dir{{"tileset.bmp", "boulder.ttf", "Musik.wav", "icon.bmp"}};
        fs::remove(dir.data() / asset);  // the link, never the asset
        dir.writeFile("Data/" + asset, bytes);
        // exit() on purpose: what is still allocated then is not lost
        const ProcessResult result = runProcess({gameBinary()}, dir.path(), {{"ASAN_OPTIONS", "detect_leaks=0"}}, 120);
        EXPECT_EQ(result.status, 1);
        EXPECT_THAT(result.err, testing::MatchesRegex(asset == "tileset.bmp" ? noTiles : noFont));
    }
}
