#include <gtest/gtest.h>

#include "TestSupport.h"
#include "gfx/FontFile.h"
#include "gfx/Screen.h"
#include "gfx/Text.h"

class DrawText : public testing::Test {
protected:
    // Where drawText reports the text, drawn on a cleared screen.
    SDL_Rect drawn(const std::string& text, int32_t x = 0, TextAlign align = TextAlign::Left)
    {
        screen.clear();
        SDL_Rect rect{0, 0, 0, 0};
        drawText(text, x, 100, align, 35, &rect);
        return rect;
    }

    // With KLAKORIA_GLYPH_TEXT the glyph sheets draw.
    testing_support::TempDataDir data;
    testing_support::DummyScreen screen;
};

// x = 0 means the window: its centre for Center, its right edge for Right.
TEST_F(DrawText, EveryAlignmentDrawsExactlyIntoTheReportedRectangle)
{
    // twice the left edge, plus the width once per half the alignment shifts it
    for (const auto& [x, align, left2] : {std::tuple{37, TextAlign::Left, 74}, {0, TextAlign::Center, 800},
                                          {0, TextAlign::Right, 1600}}) {
        const SDL_Rect rect = drawn("Highscores", x, align);
        EXPECT_EQ(rect.x, left2 / 2 - int(align) * rect.w / 2) << x;
        EXPECT_GT(screen.countRed(rect), 100);
        EXPECT_EQ(screen.countRed(rect), screen.countRed({0, 0, 800, 600}));
    }
}

TEST_F(DrawText, KeepEndWithinKeepsTheLongestEndThatFits)
{
    const std::string name = "Bartholomaeus von Hohenzollern";
    for (int maxWidth = 0; maxWidth < 500; maxWidth += 9) {
        const std::string end = keepEndWithin(name, 35, maxWidth);
        EXPECT_TRUE(name.ends_with(end));
        EXPECT_LE(drawn(end).w, maxWidth);
        if (end != name) {
            EXPECT_GT(drawn(name.substr(name.size() - end.size() - 1)).w, maxWidth) << end;
        }
    }
}

// Once its streams are closed, a file written again in place is read anew, though its size and time
// are the same.
TEST(FontFile, AFileWrittenAgainIsReadAnew)
{
    testing_support::TempDataDir data{std::vector<std::string>{}};
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
