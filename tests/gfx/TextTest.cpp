#include <gtest/gtest.h>

#include <climits>
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

struct Placement {
    const char* name;
    int32_t x;
    TextAlign align;
    int expectedLeft(int width) const
    {
        switch (align) {
        case TextAlign::Left: return x;
        case TextAlign::Center: return (x == 0 ? 400 : x) - width / 2;
        case TextAlign::Right: return (x == 0 ? 800 : x) - width;
        }
        return -1;
    }
};

const Placement placements[] = {
    {"left edge at 37", 37, TextAlign::Left},
    {"left edge at the window edge", 0, TextAlign::Left},
    {"centred on 250", 250, TextAlign::Center},
    {"centred on the window", 0, TextAlign::Center},
    {"right edge at 610", 610, TextAlign::Right},
    {"right edge at the window edge", 0, TextAlign::Right},
};

}  // namespace

TEST_F(DrawText, EveryAlignmentPutsRedGlyphsExactlyIntoTheReportedRectangle)
{
    for (const auto& placement : placements) {
        SCOPED_TRACE(placement.name);
        screen.clear();
        const SDL_Rect rect = drawn("Highscores", placement.x, 123, placement.align, 30);
        ASSERT_GT(rect.w, 60);
        EXPECT_GT(rect.h, 20);
        EXPECT_EQ(rect.x, placement.expectedLeft(rect.w));
        EXPECT_EQ(rect.y, 123);
        const int inside = screen.countRed(rect);
        EXPECT_GT(inside, 100);
        EXPECT_EQ(inside, redOnScreen()) << "red outside the reported rectangle";
    }
}

TEST_F(DrawText, TheWindowAnchorsEqualTheExplicitCentreAndRightEdge)
{
    EXPECT_EQ(drawn("Spielen", 0, 5, TextAlign::Center, 30).x, drawn("Spielen", 400, 5, TextAlign::Center, 30).x);
    EXPECT_EQ(drawn("Spielen", 0, 5, TextAlign::Right, 30).x, drawn("Spielen", 800, 5, TextAlign::Right, 30).x);
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

TEST_F(DrawText, TheObserverSeesTheTextAndArgumentsAsGiven)
{
    TextRecorder recorder;
    drawText("Info", 0, 280, TextAlign::Center, 30, nullptr);
    drawText("(ende)", 200, 576, TextAlign::Left, 18, nullptr);
    ASSERT_EQ(recorder.texts.size(), 2u);
    const DrawnText& info = recorder.texts[0];
    EXPECT_EQ(info.text, "Info");
    EXPECT_EQ(info.x, 0);
    EXPECT_EQ(info.y, 280);
    EXPECT_EQ(info.align, TextAlign::Center);
    EXPECT_EQ(info.size, 30);
    EXPECT_EQ(recorder.texts[1].text, "(ende)");
    EXPECT_EQ(recorder.texts[1].align, TextAlign::Left);
}

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

TEST_F(DrawText, UmlautsAndSharpSRenderAsTheirOwnGlyphs)
{
    // A missing glyph would come out as the same box for every letter.
    const SDL_Rect plain = drawn("A", 10, 10, TextAlign::Left, 40);
    const int redOfA = screen.countRed(plain);
    for (const char* letter : {"\xC4", "\xD6", "\xDC", "\xE4", "\xF6", "\xFC", "\xDF"}) {
        screen.clear();
        const SDL_Rect rect = drawn(letter, 10, 10, TextAlign::Left, 40);
        EXPECT_GT(screen.countRed(rect), 20) << static_cast<int>(static_cast<unsigned char>(*letter));
    }
    screen.clear();
    const SDL_Rect umlaut = drawn("\xC4", 10, 10, TextAlign::Left, 40);
    EXPECT_GT(screen.countRed(umlaut), redOfA) << "the dots of the umlaut are missing";
}

TEST_F(DrawText, KeepEndWithinKeepsTheLongestEndThatFits)
{
    const std::string name = "Bartholomaeus von Hohenzollern-Sigmaringen";
    const std::string end = keepEndWithin(name, 35, 300);
    ASSERT_FALSE(end.empty());
    ASSERT_LT(end.size(), name.size());
    EXPECT_EQ(name.substr(name.size() - end.size()), end);
    EXPECT_LE(drawn(end, 0, 0, TextAlign::Left, 35).w, 300);
    const std::string oneMore = name.substr(name.size() - end.size() - 1);
    EXPECT_GT(drawn(oneMore, 0, 100, TextAlign::Left, 35).w, 300);
}

TEST_F(DrawText, KeepEndWithinLeavesShortAndEmptyTextsWhole)
{
    EXPECT_EQ(keepEndWithin("Anna", 35, 300), "Anna");
    EXPECT_EQ(keepEndWithin("", 35, 300), "");
}

TEST(IntToString, WritesDecimalWithSignAndNoPadding)
{
    const std::pair<int32_t, const char*> cases[] = {
        {0, "0"}, {7, "7"}, {-5, "-5"}, {1000, "1000"}, {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"},
    };
    for (const auto& [number, text] : cases)
        EXPECT_EQ(intToString(number), text);
}
