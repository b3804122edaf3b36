#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "TestSupport.h"
#include "gfx/FontFile.h"
#include "gfx/Screen.h"
#include "gfx/Text.h"

using namespace testing_support;

namespace {

class DrawText : public testing::Test {
protected:
    int redOnScreen() const { return screen.countRed(SDL_Rect{0, 0, WindowWidth, WindowHeight}); }
    static SDL_Rect drawn(const std::string& text, int32_t x, int32_t y, TextAlign align, int32_t size)
    {
        SDL_Rect rect{11, 22, 33, 44};
        drawText(text, x, y, align, size, &rect);
        return rect;
    }

    TempDataDir data{{"boulder.ttf", "glyphs.bmp", "glyphs.dat"}};  // the glyph sheets draw with KLAKORIA_GLYPH_TEXT
    DummyScreen screen;
};

std::vector<int> fields(const SDL_Rect& r) { return {r.x, r.y, r.w, r.h}; }

}  // namespace

// x = 0 means the window: its centre for Center, its right edge for Right.
TEST_F(DrawText, EveryAlignmentPutsRedGlyphsExactlyIntoTheReportedRectangle)
{
    // twice the left edge, plus the width once per half the alignment shifts it
    for (const auto& [x, align, left2] : {std::tuple{37, TextAlign::Left, 74}, {0, TextAlign::Left, 0}, {250, TextAlign::Center, 500},
                                          {0, TextAlign::Center, 800}, {610, TextAlign::Right, 1220}, {0, TextAlign::Right, 1600}}) {
        SCOPED_TRACE(testing::Message() << "x " << x << ", alignment " << static_cast<int>(align));
        screen.clear();
        const SDL_Rect rect = drawn("Highscores", x, 123, align, 30);
        ASSERT_TRUE(rect.w > 60 && rect.h > 20);
        EXPECT_EQ(rect.x, left2 / 2 - static_cast<int>(align) * rect.w / 2);
        EXPECT_EQ(rect.y, 123);
        EXPECT_GT(screen.countRed(rect), 100);
        EXPECT_EQ(screen.countRed(rect), redOnScreen()) << "red outside";
    }
}

// SDL_ttf sees a text only up to its first NUL byte and cannot render an empty one, nor
// arbitrarily wide lines: such texts are cut, and an empty one leaves the rectangle alone.
TEST_F(DrawText, ATextIsDrawnUpToItsFirstNulAndTheWindowsWidth)
{
    for (const auto& [text, visible] : {std::pair<std::string, std::string>{"", ""},
                                        {std::string("\0Anna", 5), ""},
                                        {std::string("Bert\0ha", 7), "Bert"}}) {
        screen.clear();
        const SDL_Rect rect = drawn(text, 0, 100, TextAlign::Center, 35);
        const int red = redOnScreen();
        screen.clear();
        EXPECT_EQ(fields(rect), fields(visible.empty() ? SDL_Rect{11, 22, 33, 44} : drawn(visible, 0, 100, TextAlign::Center, 35)));
        EXPECT_EQ(red, redOnScreen()) << visible;
        EXPECT_EQ(red > 50, !visible.empty()) << visible;
    }
    std::string longName;
    for (int i = 0; i < 500; ++i)
        longName += "Klakoria \xE4\xF6\xFC ";
    const SDL_Rect rect = drawn(longName, 0, 270, TextAlign::Center, 35);
    EXPECT_TRUE(rect.w <= WindowWidth && rect.w > WindowWidth - 60) << rect.w;
    EXPECT_EQ(rect.x, 400 - rect.w / 2);
    EXPECT_GT(screen.countRed(rect), 1000);
    const SDL_Rect corner = drawn("zur\xFC" "ck zum Men\xFC", 790, 590, TextAlign::Left, 18);
    EXPECT_TRUE(corner.x == 790 && corner.y == 590 && corner.w > 100) << "reported unclipped";
}

TEST_F(DrawText, UmlautsAndSharpSRenderAsLatin1GlyphsAndKeepEndWithinKeepsTheLongestEndThatFits)
{
    std::vector<int> red;
    for (const char* letter : {"A", "\xC4", "\xD6", "\xDC", "\xE4", "\xF6", "\xFC", "\xDF"}) {
        screen.clear();
        drawn(letter, 10, 10, TextAlign::Left, 45);
        red.push_back(redOnScreen());
    }
    EXPECT_GT(red[1], red[0]) << "an \xC4 is an A with dots";
    EXPECT_GT(*std::min_element(red.begin(), red.end()), 20);

    const std::string name = "Bartholomaeus von Hohenzollern-Sigmaringen", end = keepEndWithin(name, 35, 300);
    EXPECT_TRUE(!end.empty() && name.ends_with(end)) << end;
    EXPECT_LE(drawn(end, 0, 0, TextAlign::Left, 35).w, 300);
    EXPECT_GT(drawn(name.substr(name.size() - end.size() - 1), 0, 100, TextAlign::Left, 35).w, 300);
    EXPECT_EQ(keepEndWithin("Anna", 35, 300), "Anna");
}

// More sizes than a FontCache keeps open, sizes coming back after others pushed them out.
TEST_F(DrawText, KeptFontsDrawAndMeasureExactlyAsAFontOpenedForEveryTextUntilTheFileIsGone)
{
    auto drawLines = [] {
        SDL_FillRect(screenSurface, nullptr, 0);
        std::vector<int> frame;
        for (int32_t y = 0; const int32_t size : {72, 30, 50, 18, 30, 90, 18, 30}) {
            SDL_Rect rect{0, 0, 0, 0};
            drawText(size == 18 ? "M\xF6glichkeiten: 17" : "Welche Spielvariante?", 0, y, TextAlign::Center, size, &rect);
            frame.insert(frame.end(), {rect.x, rect.y, rect.w, rect.h});
            y += size;
        }
        const auto* pixels = static_cast<const Uint32*>(screenSurface->pixels);
        frame.insert(frame.end(), pixels, pixels + screenSurface->pitch / 4 * WindowHeight);
        frame.push_back(static_cast<int>(keepEndWithin("Annemarie-Friederike Wolkenstein-Oberhausen", 18, 300).size()));
        return frame;
    };
    const std::vector<int> opened = drawLines();
    FontCache fonts;
    for (const char* pass : {"first pass", "from kept glyphs"})
        EXPECT_TRUE(drawLines() == opened) << pass;

    // Once the font file is gone, only a size that is open at that moment still draws.
    std::filesystem::remove(data.data() / "boulder.ttf");
    screen.clear();
    drawText("Klicks: 5", 0, 500, TextAlign::Left, 18, nullptr);
    EXPECT_GT(screen.countRed({0, 500, WindowWidth, 40}), 20);
    EXPECT_EXIT(drawText("Klicks: 5", 0, 500, TextAlign::Left, 35, nullptr), testing::ExitedWithCode(1),
                "^Konnte Font-File nicht laden!: ");
}

// The font stream keeps blocks of the file: every read, within, across and past blocks, gives the file's bytes.
TEST(FontFile, EveryPieceHoldsTheFileBytesWhereverItLies)
{
    TempDataDir data{std::vector<std::string>{}};
    std::string file(3 * 4096 + 123, '\0');
    std::generate(file.begin(), file.end(), std::mt19937(7));
    data.writeFile("Data/font.ttf", file);
    SDL_RWops* stream = openFontFile("Data/font.ttf");
    ASSERT_NE(stream, nullptr);
    const int size = static_cast<int>(file.size());
    for (const auto& [offset, count] : {std::pair{17, 40}, {4090, 20}, {100, 9000}, {4096, 4096}, {0, size}, {size - 5, 10}, {size, 10}}) {
        std::string bytes(count, '\0');
        ASSERT_EQ(SDL_RWseek(stream, offset, RW_SEEK_SET), offset);
        bytes.resize(std::max(0, SDL_RWread(stream, bytes.data(), 1, count)));
        EXPECT_EQ(bytes, file.substr(std::min(offset, size), count)) << offset << " + " << count;
    }
    EXPECT_EQ(SDL_RWseek(stream, -23, RW_SEEK_END), size - 23);
    EXPECT_EQ(SDL_RWseek(stream, -1, RW_SEEK_SET), -1);
    SDL_RWclose(stream);
}
