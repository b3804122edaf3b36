#include <gtest/gtest.h>

#include <array>
#include <set>
#include <vector>

#include "TestSupport.h"
#include "gfx/Tileset.h"

using namespace testing_support;

// Compared and printed by their colour only; the unused field differs between readers.
static bool operator==(SDL_Color a, SDL_Color b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
static std::ostream& operator<<(std::ostream& out, SDL_Color c)
{
    return out << '(' << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ')';
}

namespace {

constexpr SDL_Color White{255, 255, 255, 0};
constexpr SDL_Color Black{0, 0, 0, 0};
constexpr SDL_Color Outline{90, 140, 200, 0};
constexpr SDL_Color BaseShade{10, 200, 30, 0};

const std::array<SDL_Color, 7> tileColours = {{
    {255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {255, 255, 0, 0}, {0, 255, 255, 0}, {255, 0, 255, 0},
    {200, 200, 200, 0},
}};

SDL_Color halved(SDL_Color c) { return SDL_Color{Uint8(c.r / 2), Uint8(c.g / 2), Uint8(c.b / 2), 0}; }

SDL_Color surfacePixel(SDL_Surface* surface, int x, int y)
{
    SDL_LockSurface(surface);
    const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    Uint32 value = 0;
    const int bytes = surface->format->BytesPerPixel;
    for (int i = 0; i < bytes; ++i)
        value |= Uint32(row[x * bytes + i]) << (8 * i);
    SDL_UnlockSurface(surface);
    SDL_Color c{0, 0, 0, 0};
    SDL_GetRGB(value, surface->format, &c.r, &c.g, &c.b);
    return c;
}

// A template with one marker pixel per case in row 3 of the first set: (base layer, top layer).
struct Marker {
    const char* meaning;
    int x;
    SDL_Color base;
    SDL_Color top;
};
const Marker markers[] = {
    {"white on top takes the full colour", 5, Black, White},
    {"a hole over white base shows the halved colour", 6, White, Black},
    {"black in both layers stays black", 7, Black, Black},
    {"another colour on top stays as drawn", 8, White, Outline},
    {"a hole shows the base layer's own colour", 9, BaseShade, Black},
    {"the top layer covers the base layer", 10, White, White},
};

SDL_Color markerTemplate(int x, int y)
{
    if (y == 3)
        for (const auto& m : markers) {
            if (x == m.x)
                return m.base;
            if (x == 32 + m.x)
                return m.top;
        }
    if (y == 671 && x == 63)
        return White;  // the last row of the fifth set
    return Black;
}

bool writeTemplate(const TempDataDir& data, int width, int height, const PixelPainter& painter)
{
    writeBmp(data.data() / "tileset.bmp", width, height, painter);
    return true;
}

}  // namespace

class TintedSheet : public testing::Test {
protected:
    TempDataDir data{std::vector<std::string>{}};
    bool written = writeTemplate(data, 64, 672, markerTemplate);
    DummyScreen screen{true};
};

TEST_F(TintedSheet, EveryColourTintsTheTemplateByItsLayers)
{
    ASSERT_NE(tileSheet, nullptr);
    for (int k = 0; k < 7; ++k) {
        const SDL_Color colour = tileColours[k];
        const SDL_Color expected[] = {colour, halved(colour), Black, Outline, BaseShade, colour};
        for (size_t i = 0; i < std::size(markers); ++i) {
            SCOPED_TRACE(markers[i].meaning);
            EXPECT_EQ(surfacePixel(tileSheet, 32 * k + markers[i].x, 3), expected[i]) << "tile " << k;
        }
        EXPECT_EQ(surfacePixel(tileSheet, 32 * k + 31, 671), colour) << "tile " << k;
        EXPECT_EQ(surfacePixel(tileSheet, 32 * k + 20, 400), Black) << "tile " << k;
    }
}

TEST_F(TintedSheet, TheSheetHasOneColumnPerColourAsTallAsTheTemplate)
{
    EXPECT_EQ(tileSheet->w, 7 * 32);
    EXPECT_EQ(tileSheet->h, 672);
    EXPECT_FALSE(tileSheet->flags & SDL_SRCCOLORKEY);
}

TEST_F(TintedSheet, SelectingASetMovesOnlyTheRowsOfAllSevenRectangles)
{
    for (int n : {1, 3, 0, 4}) {
        selectTileset(n);
        for (int k = 0; k < 7; ++k) {
            EXPECT_EQ(tileRects[k].x, 32 * k);
            EXPECT_EQ(tileRects[k].y, 160 * n);
            EXPECT_EQ(tileRects[k].w, 32);
            EXPECT_EQ(tileRects[k].h, 32);
        }
    }
}

class UntintedSheet : public testing::Test {
protected:
    TempDataDir data{std::vector<std::string>{}};
    // Greys and a few colours, but no pure white anywhere.
    bool written = writeTemplate(data, 64, 672, [](int x, int y) {
        return SDL_Color{Uint8((x * 3 + y) % 250), Uint8((y * 7) % 200), Uint8(x % 2 ? 60 : 0), 0};
    });
    DummyScreen screen{true};
};

TEST_F(UntintedSheet, ATemplateWithoutWhiteGivesSevenIdenticalTiles)
{
    for (int y = 0; y < 672; y += 7)
        for (int x = 0; x < 32; ++x)
            for (int k = 1; k < 7; ++k)
                ASSERT_EQ(surfacePixel(tileSheet, 32 * k + x, y), surfacePixel(tileSheet, x, y))
                    << "x " << x << " y " << y << " tile " << k;
}

class TallTemplate : public testing::Test {
protected:
    TempDataDir data{std::vector<std::string>{}};
    bool written = writeTemplate(data, 64, 700, [](int x, int y) { return x >= 32 && y >= 672 ? White : Black; });
    DummyScreen screen{true};
};

TEST_F(TallTemplate, OnlyTheFirst672RowsAreUsed)
{
    EXPECT_EQ(tileSheet->w, 7 * 32);
    EXPECT_EQ(tileSheet->h, 672);
}

// The generated template itself: geometry, markers and looks.
class GeneratedTemplate : public testing::Test {
protected:
    void SetUp() override
    {
        pattern = SDL_LoadBMP((assetDir() / "tileset.bmp").c_str());
        ASSERT_NE(pattern, nullptr) << SDL_GetError();
    }
    void TearDown() override { SDL_FreeSurface(pattern); }
    SDL_Color at(int x, int y) const { return surfacePixel(pattern, x, y); }
    // The tile as the game shows it, in materials: 'C' colour, 'D' dark colour, 'K' black, grey value.
    std::vector<int> look(int top) const
    {
        std::vector<int> tile;
        for (int y = top; y < top + 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const SDL_Color over = at(32 + x, y);
                const SDL_Color base = at(x, y);
                const SDL_Color shown = over == Black ? base : over;
                tile.push_back(shown == White ? (over == White ? 'C' : 'D') : shown.r * 65536 + shown.g * 256 + shown.b);
            }
        return tile;
    }
    SDL_Surface* pattern = nullptr;
};

TEST_F(GeneratedTemplate, IsA24BitImageOf64By672)
{
    EXPECT_EQ(pattern->w, 64);
    EXPECT_EQ(pattern->h, 672);
    EXPECT_EQ(pattern->format->BitsPerPixel, 24);
}

TEST_F(GeneratedTemplate, EverySetTakesTheColourInBothTintsAndTheFiveLookDifferent)
{
    std::set<std::vector<int>> looks;
    for (int n = 0; n < 5; ++n) {
        const std::vector<int> tile = look(160 * n);
        const auto bright = std::count(tile.begin(), tile.end(), 'C');
        const auto dark = std::count(tile.begin(), tile.end(), 'D');
        EXPECT_GT(bright, 150) << "set " << n;
        EXPECT_GT(dark, 20) << "set " << n;
        looks.insert(tile);
    }
    EXPECT_EQ(looks.size(), 5u);
}

TEST_F(GeneratedTemplate, TheFourVanishingFramesShrink)
{
    int previous = 32 * 32;
    for (int frame = 1; frame <= 4; ++frame) {
        const std::vector<int> tile = look(32 * frame);
        const int visible = static_cast<int>(tile.size() - std::count(tile.begin(), tile.end(), 0));
        EXPECT_LT(visible, previous) << "frame " << frame;
        EXPECT_GT(visible, 0) << "frame " << frame;
        previous = visible;
    }
}
