#include <gtest/gtest.h>

#include "TestSupport.h"
#include "gfx/FontFile.h"
#include "gfx/Screen.h"
#include "gfx/Text.h"

using namespace testing_support;

namespace {

class DrawText : public testing::Test {
protected:
    int redOnScreen() const { return screen.countRed(SDL_Rect{0, 0, WindowWidth, WindowHeight}); }
    SDL_Rect drawn(const std::string& text, int32_t x, TextAlign align = TextAlign::Left, int32_t size = 35)
    {
        screen.clear();
        SDL_Rect rect{0, 0, 0, 0};
        drawText(text, x, 100, align, size, &rect);
        return rect;
    }

    TempDataDir data{{"boulder.ttf", "glyphs.bmp", "glyphs.dat"}};  // the glyph sheets draw with KLAKORIA_GLYPH_TEXT
    DummyScreen screen;
};

}  // namespace

// x = 0 means the window: its centre for Center, its right edge for Right.
TEST_F(DrawText, EveryAlignmentPutsRedGlyphsExactlyIntoTheReportedRectangle)
{
    // twice the left edge, plus the width once per half the alignment shifts it
    for (const auto& [x, align, left2] : {std::tuple{37, TextAlign::Left, 74}, {0, TextAlign::Left, 0},
                                          {250, TextAlign::Center, 500}, {0, TextAlign::Center, 800},
                                          {610, TextAlign::Right, 1220}, {0, TextAlign::Right, 1600}}) {
        const SDL_Rect rect = drawn("Highscores", x, align, 30);
        EXPECT_EQ(rect.x, left2 / 2 - static_cast<int>(align) * rect.w / 2) << x;
        EXPECT_EQ(rect.y, 100);
        EXPECT_GT(screen.countRed(rect), 100);
        EXPECT_EQ(screen.countRed(rect), redOnScreen()) << "red outside";
    }
}

TEST_F(DrawText, UmlautsAndSharpSRenderAsLatin1Glyphs)
{
    drawn("AOUaou", 10);
    const int plain = redOnScreen();
    drawn("\xC4\xD6\xDC\xE4\xF6\xFC", 10);
    EXPECT_GT(redOnScreen(), plain) << "the same letters with dots";
    drawn("\xDF", 10);
    EXPECT_GT(redOnScreen(), 20);
}

TEST_F(DrawText, KeepEndWithinKeepsTheLongestEndThatFits)
{
    const std::string name = "Bartholomaeus von Hohenzollern";
    for (int maxWidth = 0; maxWidth < 500; maxWidth += 9) {
        const std::string end = keepEndWithin(name, 35, maxWidth);
        EXPECT_TRUE(name.ends_with(end));
        EXPECT_LE(drawn(end, 0).w, maxWidth);
        if (end != name) {
            EXPECT_GT(drawn(name.substr(name.size() - end.size() - 1), 0).w, maxWidth) << end;
        }
    }
}

// Once its streams are closed, a file written again in place is read anew, though its size and time
// are the same.
TEST(FontFile, AFileWrittenAgainIsReadAnew)
{
    TempDataDir data{std::vector<std::string>{}};
    data.writeFile("Data/font.ttf", "first");
    const auto time = std::filesystem::last_write_time("Data/font.ttf");
    for (const std::string bytes : {"first", "again"}) {
        data.writeFile("Data/font.ttf", bytes);
        std::filesystem::last_write_time("Data/font.ttf", time);
        SDL_RWops* stream = openFontFile("Data/font.ttf");
        std::string read(5, '\0');
        EXPECT_EQ(SDL_RWread(stream, read.data(), 1, 5), 5);
        EXPECT_EQ(read, bytes);
        SDL_RWclose(stream);
    }
}
