// Damaged and unusual files in place of the tile template and the font. A template with the
// right geometry is used and tinted, whatever its pixel format; anything else ends the real
// program with the game's own message, never with a crash.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "gfx/Screen.h"
#include "gfx/Text.h"
#include "gfx/Tileset.h"

using namespace testing_support;
using testing::MatchesRegex;

namespace {

bool sameColour(SDL_Color a, SDL_Color b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

std::string describe(SDL_Color c)
{
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}

void putLittleEndian(std::string& bytes, uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

enum class RowOrder { BottomUp, TopDown };

// The bytes of an uncompressed BMP in 8 (with a palette of the colours in order of first use),
// 24 or 32 bits per pixel. The loader of the game reads every one of them.
std::string bmpBytes(int width, int height, int bits, const PixelPainter& colourAt, RowOrder order = RowOrder::BottomUp)
{
    std::vector<SDL_Color> palette;
    std::vector<uint8_t> indices;
    if (bits == 8)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const SDL_Color c = colourAt(x, y);
                size_t i = 0;
                while (i < palette.size() && !sameColour(palette[i], c))
                    ++i;
                if (i == palette.size())
                    palette.push_back(c);
                indices.push_back(static_cast<uint8_t>(i));
            }
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * bits / 8 + 3) / 4 * 4;
    const uint32_t pixelOffset = 54 + 4 * static_cast<uint32_t>(palette.size());
    const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(height);

    std::string bytes = "BM";
    putLittleEndian(bytes, pixelOffset + pixelBytes, 4);
    putLittleEndian(bytes, 0, 4);
    putLittleEndian(bytes, pixelOffset, 4);
    putLittleEndian(bytes, 40, 4);
    putLittleEndian(bytes, static_cast<uint32_t>(width), 4);
    putLittleEndian(bytes, static_cast<uint32_t>(order == RowOrder::TopDown ? -height : height), 4);
    putLittleEndian(bytes, 1, 2);
    putLittleEndian(bytes, static_cast<uint32_t>(bits), 2);
    putLittleEndian(bytes, 0, 4);  // no compression
    putLittleEndian(bytes, pixelBytes, 4);
    putLittleEndian(bytes, 2835, 4);
    putLittleEndian(bytes, 2835, 4);
    putLittleEndian(bytes, static_cast<uint32_t>(palette.size()), 4);
    putLittleEndian(bytes, 0, 4);
    for (const SDL_Color c : palette)
        putLittleEndian(bytes, uint32_t{c.b} | uint32_t{c.g} << 8 | uint32_t{c.r} << 16, 4);
    for (int row = 0; row < height; ++row) {
        const int y = order == RowOrder::TopDown ? row : height - 1 - row;
        std::string line;
        for (int x = 0; x < width; ++x) {
            const SDL_Color c = colourAt(x, y);
            if (bits == 8)
                line += static_cast<char>(indices[static_cast<size_t>(y) * width + x]);
            else
                line += std::string{static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r)} +
                        (bits == 32 ? std::string(1, '\0') : std::string());
        }
        line.resize(rowBytes, '\0');
        bytes += line;
    }
    return bytes;
}

// Just the two headers of a BMP whose pixels would not fit into any memory.
std::string bmpHeaderClaiming(uint32_t width, uint32_t height)
{
    std::string bytes = "BM";
    putLittleEndian(bytes, 54, 4);
    putLittleEndian(bytes, 0, 4);
    putLittleEndian(bytes, 54, 4);
    putLittleEndian(bytes, 40, 4);
    putLittleEndian(bytes, width, 4);
    putLittleEndian(bytes, height, 4);
    putLittleEndian(bytes, 1, 2);
    putLittleEndian(bytes, 24, 2);
    bytes.append(24, '\0');
    return bytes;
}

std::string randomBytes(size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes;
    for (size_t i = 0; i < count; ++i)
        bytes += static_cast<char>(byte(random));
    return bytes;
}

std::string fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// These runs end with exit() on purpose; what is still allocated then is not lost.
ProcessResult runGame(const TempDataDir& dir)
{
    return runProcess({gameBinary()}, dir.path(), {{"ASAN_OPTIONS", "detect_leaks=0"}}, 120);
}

constexpr SDL_Color White{255, 255, 255, 0};
constexpr SDL_Color Black{0, 0, 0, 0};
constexpr SDL_Color Outline{90, 140, 200, 0};
constexpr SDL_Color NearWhite{254, 254, 254, 0};

constexpr SDL_Color tileColours[7] = {
    {255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {255, 255, 0, 0}, {0, 255, 255, 0}, {255, 0, 255, 0},
    {200, 200, 200, 0},
};

SDL_Color halved(SDL_Color c) { return SDL_Color{Uint8(c.r / 2), Uint8(c.g / 2), Uint8(c.b / 2), 0}; }

// One marker pixel per case in row 3 of the first set: its base layer, its top layer, and what
// tile k shows there.
struct Marker {
    const char* meaning;
    int x;
    SDL_Color base;
    SDL_Color top;
    SDL_Color (*shown)(SDL_Color tile);
};
const Marker markers[] = {
    {"white on top takes the full colour", 5, Black, White, [](SDL_Color tile) { return tile; }},
    {"a hole over white shows the halved colour", 6, White, Black, halved},
    {"black in both layers stays black", 7, Black, Black, [](SDL_Color) { return Black; }},
    {"another colour on top stays as drawn", 8, White, Outline, [](SDL_Color) { return Outline; }},
    {"almost white is no white", 9, NearWhite, Black, [](SDL_Color) { return NearWhite; }},
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

SDL_Color sheetPixel(int x, int y)
{
    SDL_LockSurface(tileSheet);
    const auto* row = static_cast<const Uint8*>(tileSheet->pixels) + y * tileSheet->pitch;
    Uint32 value = 0;
    const int bytes = tileSheet->format->BytesPerPixel;
    for (int i = 0; i < bytes; ++i)
        value |= Uint32(row[x * bytes + i]) << (8 * i);
    SDL_UnlockSurface(tileSheet);
    SDL_Color c{0, 0, 0, 0};
    SDL_GetRGB(value, tileSheet->format, &c.r, &c.g, &c.b);
    return c;
}

struct UsableTemplate {
    const char* name;
    int height;
    int bits;
    RowOrder order;
};

}  // namespace

TEST(HostileTileset, EveryPixelFormatWithTheRightGeometryIsTintedAlike)
{
    const UsableTemplate cases[] = {
        {"24 bits, rows stored top-down", 672, 24, RowOrder::TopDown},
        {"32 bits", 672, 32, RowOrder::BottomUp},
        {"8 bits with a palette", 672, 8, RowOrder::BottomUp},
        {"64 x 20000, far taller than needed", 20000, 24, RowOrder::BottomUp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDataDir dir{std::vector<std::string>{}};
        dir.writeFile("Data/tileset.bmp", bmpBytes(64, c.height, c.bits, markerTemplate, c.order));
        DummyScreen screen{true};
        ASSERT_NE(tileSheet, nullptr);
        EXPECT_EQ(tileSheet->w, 7 * 32);
        EXPECT_EQ(tileSheet->h, 672);
        for (int k = 0; k < 7; ++k) {
            for (const Marker& m : markers) {
                const SDL_Color expected = m.shown(tileColours[k]);
                const SDL_Color actual = sheetPixel(32 * k + m.x, 3);
                EXPECT_TRUE(sameColour(actual, expected))
                    << m.meaning << ", tile " << k << ": " << describe(actual) << " instead of " << describe(expected);
            }
            EXPECT_TRUE(sameColour(sheetPixel(32 * k + 31, 671), tileColours[k])) << "last row, tile " << k;
        }
    }
}

// Only pure white takes the colour. A palette without it must not lend the key to its closest
// colour, or a light grey would be tinted.
TEST(HostileTileset, APaletteWithoutWhiteGivesSevenUntintedTiles)
{
    const PixelPainter greys = [](int x, int y) {
        return (x + y) % 3 == 0 ? NearWhite : (x + 2 * y) % 5 == 0 ? Outline : Black;
    };
    TempDataDir dir{std::vector<std::string>{}};
    dir.writeFile("Data/tileset.bmp", bmpBytes(64, 672, 8, greys));
    DummyScreen screen{true};
    for (int y = 0; y < 672; y += 5)
        for (int x = 0; x < 32; ++x) {
            const SDL_Color top = greys(32 + x, y);
            const SDL_Color expected = sameColour(top, Black) ? greys(x, y) : top;
            for (int k = 0; k < 7; ++k) {
                const SDL_Color actual = sheetPixel(32 * k + x, y);
                ASSERT_TRUE(sameColour(actual, expected))
                    << "x " << x << " y " << y << " tile " << k << ": " << describe(actual) << " instead of " << describe(expected);
            }
        }
}

TEST(HostileTileset, ADamagedOrMisshapenTemplateEndsTheGameWithItsMessage)
{
    const std::string whole = bmpBytes(64, 672, 24, markerTemplate);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"zero bytes", ""},
        {"random bytes", randomBytes(5000, 672)},
        {"a PNG signature", std::string("\x89PNG\r\n\x1a\n", 8) + randomBytes(200, 1)},
        {"the file header alone", whole.substr(0, 14)},
        {"the pixels cut off halfway", whole.substr(0, whole.size() / 2)},
        {"the last pixel row missing", whole.substr(0, whole.size() - 64 * 3)},
        {"1 x 1", bmpBytes(1, 1, 24, markerTemplate)},
        {"128 x 672, twice as wide", bmpBytes(128, 672, 24, markerTemplate)},
        {"64 x 160, one set only", bmpBytes(64, 160, 24, markerTemplate)},
        {"a header claiming 64 x 1000000000", bmpHeaderClaiming(64, 1000000000)},
        {"a header claiming 4294967295 x 672", bmpHeaderClaiming(4294967295u, 672)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDataDir dir{{"boulder.ttf", "Musik.wav", "icon.bmp"}};
        dir.writeFile("Data/tileset.bmp", c.bytes);
        const ProcessResult result = runGame(dir);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "Konnte Data/tileset.bmp nicht laden.\n");
    }
}

TEST(HostileFont, AFileThatIsNoFontEndsTheGameWithTheFontMessage)
{
    const std::string font = fileBytes(assetDir() / "boulder.ttf");
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"zero bytes", ""},
        {"random bytes", randomBytes(70000, 35)},
        {"the tile template renamed", fileBytes(assetDir() / "tileset.bmp")},
        {"the first half of the font", font.substr(0, font.size() / 2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDataDir dir{{"tileset.bmp", "Musik.wav", "icon.bmp"}};
        dir.writeFile("Data/boulder.ttf", c.bytes);
        const ProcessResult result = runGame(dir);
        EXPECT_EQ(result.status, 1);
        EXPECT_THAT(result.err, MatchesRegex("Konnte Font-File nicht laden!: [^\n]+\n"));
    }
}

// SDL_ttf sees a text only up to its first NUL byte, and cannot render an empty one.
class NulInText : public testing::Test {
protected:
    TempDataDir data{{"boulder.ttf"}};
    DummyScreen screen;
    int redOnScreen() const { return screen.countRed(SDL_Rect{0, 0, WindowWidth, WindowHeight}); }
};

TEST_F(NulInText, ATextStartingWithNulDrawsNothingLikeAnEmptyOne)
{
    TextRecorder recorder;
    SDL_Rect rect{11, 22, 33, 44};
    drawText(std::string("\0Anna", 5), 0, 100, TextAlign::Center, 35, &rect);
    EXPECT_EQ(redOnScreen(), 0);
    EXPECT_EQ(rect.x, 11);
    EXPECT_EQ(rect.y, 22);
    EXPECT_EQ(rect.w, 33);
    EXPECT_EQ(rect.h, 44);
    EXPECT_TRUE(recorder.texts.empty());
}

TEST_F(NulInText, ATextIsDrawnUpToItsFirstNul)
{
    SDL_Rect cut{};
    drawText(std::string("Bert\0ha", 7), 0, 100, TextAlign::Center, 35, &cut);
    const int redOfCut = redOnScreen();
    screen.clear();
    SDL_Rect plain{};
    drawText("Bert", 0, 100, TextAlign::Center, 35, &plain);
    EXPECT_EQ(cut.x, plain.x);
    EXPECT_EQ(cut.w, plain.w);
    EXPECT_EQ(cut.h, plain.h);
    EXPECT_GT(redOfCut, 50);
    EXPECT_EQ(redOfCut, redOnScreen());
}
