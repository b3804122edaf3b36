#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "gfx/Screen.h"
#include "gfx/Text.h"

using namespace testing_support;

namespace {

class DrawText : public testing::Test {
protected:
    TempDataDir data{{"boulder.ttf"}};
    DummyScreen screen;

    int redOnScreen() const { return screen.countRed(SDL_Rect{0, 0, WindowWidth, WindowHeight}); }
    SDL_Rect drawn(const std::string& text, int32_t x, int32_t y, TextAlign align, int32_t size)
    {
        SDL_Rect rect{-1, -1, 0, 0};
        drawText(text, x, y, align, size, &rect);
        return rect;
    }
};

}  // namespace

TEST_F(DrawText, EveryAlignmentPutsRedGlyphsExactlyIntoTheReportedRectangle)
{
    const struct {
        const char* name;
        int32_t x;
        TextAlign align;
        int (*left)(int width);
    } placements[] = {
        {"left edge at 37", 37, TextAlign::Left, [](int) { return 37; }},
        {"left edge at the window edge", 0, TextAlign::Left, [](int) { return 0; }},
        {"centred on 250", 250, TextAlign::Center, [](int w) { return 250 - w / 2; }},
        {"centred on the window", 0, TextAlign::Center, [](int w) { return 400 - w / 2; }},
        {"right edge at 610", 610, TextAlign::Right, [](int w) { return 610 - w; }},
        {"right edge at the window edge", 0, TextAlign::Right, [](int w) { return 800 - w; }},
    };
    for (const auto& placement : placements) {
        SCOPED_TRACE(placement.name);
        screen.clear();
        const SDL_Rect rect = drawn("Highscores", placement.x, 123, placement.align, 30);
        ASSERT_GT(rect.w, 60);
        EXPECT_GT(rect.h, 20);
        EXPECT_EQ(rect.x, placement.left(rect.w));
        EXPECT_EQ(rect.y, 123);
        EXPECT_GT(screen.countRed(rect), 100);
        EXPECT_EQ(screen.countRed(rect), redOnScreen()) << "red outside the reported rectangle";
    }
}

TEST_F(DrawText, TheRectangleIsReportedBeforeTheWindowClipsTheText)
{
    const SDL_Rect rect = drawn("zur\xFC" "ck zum Men\xFC", 790, 590, TextAlign::Left, 18);
    EXPECT_EQ(rect.x, 790);
    EXPECT_EQ(rect.y, 590);
    EXPECT_GT(rect.w, 100);
    EXPECT_GT(rect.h, 15);
}

TEST_F(DrawText, EmptyTextDrawsNothingAndLeavesTheRectangleAlone)
{
    TextRecorder recorder;
    SDL_Rect rect{11, 22, 33, 44};
    drawText("", 100, 100, TextAlign::Center, 30, &rect);
    EXPECT_EQ(rect.x, 11);
    EXPECT_EQ(rect.y, 22);
    EXPECT_EQ(rect.w, 33);
    EXPECT_EQ(rect.h, 44);
    EXPECT_EQ(redOnScreen(), 0);
    EXPECT_TRUE(recorder.texts.empty());
}

// SDL_ttf cannot render arbitrarily wide lines; what does not fit would never be seen anyway.
TEST_F(DrawText, ATextOfThousandsOfCharactersIsCutToTheWindowWidth)
{
    std::string longName;
    while (longName.size() < 6000)
        longName += "Klakoria \xE4\xF6\xFC ";
    const SDL_Rect rect = drawn(longName, 0, 270, TextAlign::Center, 35);
    EXPECT_LE(rect.w, WindowWidth);
    EXPECT_GT(rect.w, WindowWidth - 60) << "cut far shorter than the window";
    EXPECT_EQ(rect.x, 400 - rect.w / 2);
    EXPECT_GT(screen.countRed(rect), 1000);
}

TEST_F(DrawText, UmlautsAndSharpSRenderAsLatin1Glyphs)
{
    drawn("A", 10, 10, TextAlign::Left, 40);
    const int redOfA = redOnScreen();
    for (const char* letter : {"\xC4", "\xD6", "\xDC", "\xE4", "\xF6", "\xFC", "\xDF"}) {
        screen.clear();
        drawn(letter, 10, 10, TextAlign::Left, 40);
        EXPECT_GT(redOnScreen(), 20) << static_cast<int>(static_cast<unsigned char>(*letter));
    }
    screen.clear();
    drawn("\xC4", 10, 10, TextAlign::Left, 40);
    EXPECT_GT(redOnScreen(), redOfA) << "the dots of the umlaut are missing";
}

TEST_F(DrawText, KeepEndWithinKeepsTheLongestEndThatFits)
{
    const std::string name = "Bartholomaeus von Hohenzollern-Sigmaringen";
    const std::string end = keepEndWithin(name, 35, 300);
    ASSERT_FALSE(end.empty());
    ASSERT_LT(end.size(), name.size());
    EXPECT_EQ(name.substr(name.size() - end.size()), end);
    EXPECT_LE(drawn(end, 0, 0, TextAlign::Left, 35).w, 300);
    EXPECT_GT(drawn(name.substr(name.size() - end.size() - 1), 0, 100, TextAlign::Left, 35).w, 300);
    EXPECT_EQ(keepEndWithin("Anna", 35, 300), "Anna");
    EXPECT_EQ(keepEndWithin("", 35, 300), "");
}
