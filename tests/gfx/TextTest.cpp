#include <gtest/gtest.h>

#include <string>
#include <utility>

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
        SDL_Rect rect{11, 22, 33, 44};
        drawText(text, x, y, align, size, &rect);
        return rect;
    }
};

bool operator==(const SDL_Rect& a, const SDL_Rect& b) { return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h; }

}  // namespace

TEST_F(DrawText, EveryAlignmentPutsRedGlyphsExactlyIntoTheReportedRectangle)
{
    // x = 0 means the window: its centre for Center, its right edge for Right.
    const struct {
        int32_t x;
        TextAlign align;
        int32_t anchor;  // the left edge lies anchor - halves * width / 2
        int32_t halves;
    } placements[] = {
        {37, TextAlign::Left, 37, 0},     {0, TextAlign::Left, 0, 0},
        {250, TextAlign::Center, 250, 1}, {0, TextAlign::Center, 400, 1},
        {610, TextAlign::Right, 610, 2},  {0, TextAlign::Right, 800, 2},
    };
    for (const auto& placement : placements) {
        SCOPED_TRACE(testing::Message() << "x " << placement.x << ", alignment " << static_cast<int>(placement.align));
        screen.clear();
        const SDL_Rect rect = drawn("Highscores", placement.x, 123, placement.align, 30);
        ASSERT_GT(rect.w, 60);
        EXPECT_GT(rect.h, 20);
        EXPECT_EQ(rect.x, placement.anchor - placement.halves * rect.w / 2);
        EXPECT_EQ(rect.y, 123);
        EXPECT_GT(screen.countRed(rect), 100);
        EXPECT_EQ(screen.countRed(rect), redOnScreen()) << "red outside the reported rectangle";
    }
}

// SDL_ttf sees a text only up to its first NUL byte (a name from a damaged list may start with
// one) and cannot render an empty one: such a text draws nothing and leaves the rectangle alone.
TEST_F(DrawText, ATextIsDrawnUpToItsFirstNulAndAnEmptyOneNotAtAll)
{
    TextRecorder recorder;
    for (const auto& [text, visible] : {std::pair<std::string, std::string>{"", ""},
                                        {std::string("\0Anna", 5), ""},
                                        {std::string("Bert\0ha", 7), "Bert"}}) {
        screen.clear();
        const SDL_Rect rect = drawn(text, 0, 100, TextAlign::Center, 35);
        const int red = redOnScreen();
        screen.clear();
        EXPECT_TRUE(rect == (visible.empty() ? SDL_Rect{11, 22, 33, 44} : drawn(visible, 0, 100, TextAlign::Center, 35)))
            << visible;
        EXPECT_EQ(red, redOnScreen()) << visible;
        EXPECT_EQ(red > 50, !visible.empty()) << visible;
    }
    ASSERT_EQ(recorder.texts.size(), 2u);
    EXPECT_EQ(recorder.texts[0].text, "Bert");
}

// SDL_ttf cannot render arbitrarily wide lines; what does not fit would never be seen anyway.
TEST_F(DrawText, ATextBeyondTheWindowIsCutToItsWidthAndReportsItsRectangleUnclipped)
{
    std::string longName;
    while (longName.size() < 6000)
        longName += "Klakoria \xE4\xF6\xFC ";
    const SDL_Rect rect = drawn(longName, 0, 270, TextAlign::Center, 35);
    EXPECT_LE(rect.w, WindowWidth);
    EXPECT_GT(rect.w, WindowWidth - 60) << "cut far shorter than the window";
    EXPECT_EQ(rect.x, 400 - rect.w / 2);
    EXPECT_GT(screen.countRed(rect), 1000);

    const SDL_Rect corner = drawn("zur\xFC" "ck zum Men\xFC", 790, 590, TextAlign::Left, 18);
    EXPECT_EQ(corner.x, 790);
    EXPECT_EQ(corner.y, 590);
    EXPECT_GT(corner.w, 100);
}

TEST_F(DrawText, UmlautsAndSharpSRenderAsLatin1Glyphs)
{
    drawn("A", 10, 10, TextAlign::Left, 40);
    const int redOfA = redOnScreen();
    for (const char* letter : {"\xC4", "\xD6", "\xDC", "\xE4", "\xF6", "\xFC", "\xDF"}) {
        screen.clear();
        drawn(letter, 10, 10, TextAlign::Left, 40);
        EXPECT_GT(redOnScreen(), letter[0] == '\xC4' ? redOfA : 20) << static_cast<int>(static_cast<unsigned char>(*letter));
    }
}

TEST_F(DrawText, KeepEndWithinKeepsTheLongestEndThatFits)
{
    const std::string name = "Bartholomaeus von Hohenzollern-Sigmaringen";
    const std::string end = keepEndWithin(name, 35, 300);
    ASSERT_FALSE(end.empty());
    ASSERT_LT(end.size(), name.size());
    EXPECT_TRUE(name.ends_with(end));
    EXPECT_LE(drawn(end, 0, 0, TextAlign::Left, 35).w, 300);
    EXPECT_GT(drawn(name.substr(name.size() - end.size() - 1), 0, 100, TextAlign::Left, 35).w, 300);
    EXPECT_EQ(keepEndWithin("Anna", 35, 300), "Anna");
    EXPECT_EQ(keepEndWithin("", 35, 300), "");
}
