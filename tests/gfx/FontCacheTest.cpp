// The game keeps the fonts of the last few sizes open between texts (a FontCache around its main
// loop). The texts must look exactly as with a font opened for every text, and the font file is
// read again only for a size that is not open.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "gfx/Screen.h"
#include "gfx/Text.h"

using namespace testing_support;

namespace {

struct Line {
    std::string text;
    int32_t size;
    int32_t y;
};

// Six sizes, more than stay open, and sizes coming back after others pushed them out.
const Line lines[] = {
    {"K L A K O R I A", 72, 0},      {"Spielen", 30, 90},          {"Welche Spielvariante?", 50, 130},
    {"zur\xFC" "ck zum Men\xFC", 18, 200}, {"Punkte: 1234", 16, 230}, {"Leicht", 35, 260},
    {"Spielen", 30, 310},            {" P A U S E ! ", 90, 350},  {"M\xF6glichkeiten: 17", 18, 470},
    {"Spielen", 30, 510},
};

struct Frame {
    std::vector<Uint32> pixels;
    std::vector<SDL_Rect> rects;
};

class KeptFonts : public testing::Test {
protected:
    TempDataDir data{{"boulder.ttf"}};
    DummyScreen screen;

    Frame drawLines()
    {
        screen.clear();
        Frame frame;
        for (const Line& line : lines) {
            SDL_Rect rect{0, 0, 0, 0};
            drawText(line.text, 0, line.y, TextAlign::Center, line.size, &rect);
            frame.rects.push_back(rect);
        }
        SDL_LockSurface(screenSurface);
        for (int y = 0; y < WindowHeight; ++y) {
            const auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(screenSurface->pixels) +
                                                              y * screenSurface->pitch);
            frame.pixels.insert(frame.pixels.end(), row, row + WindowWidth);
        }
        SDL_UnlockSurface(screenSurface);
        return frame;
    }

    int redIn(const SDL_Rect& area) const { return screen.countRed(area); }

    void removeFont() const { std::filesystem::remove(data.data() / "boulder.ttf"); }
};

void expectSameFrame(const Frame& expected, const Frame& actual)
{
    ASSERT_EQ(expected.rects.size(), actual.rects.size());
    for (size_t i = 0; i < expected.rects.size(); ++i) {
        SCOPED_TRACE(lines[i].text);
        EXPECT_EQ(expected.rects[i].x, actual.rects[i].x);
        EXPECT_EQ(expected.rects[i].y, actual.rects[i].y);
        EXPECT_EQ(expected.rects[i].w, actual.rects[i].w);
        EXPECT_EQ(expected.rects[i].h, actual.rects[i].h);
    }
    EXPECT_TRUE(expected.pixels == actual.pixels);
}

}  // namespace

TEST_F(KeptFonts, TextsLookExactlyAsWithAFontOpenedForEveryText)
{
    const Frame opened = drawLines();
    FontCache fonts;
    const Frame firstPass = drawLines();
    const Frame fromKeptGlyphs = drawLines();
    expectSameFrame(opened, firstPass);
    expectSameFrame(opened, fromKeptGlyphs);
}

TEST_F(KeptFonts, KeepEndWithinMeasuresAsWithAFontOpenedForEveryText)
{
    const std::string name = "Annemarie-Friederike Wolkenstein-Oberhausen";
    const std::string opened = keepEndWithin(name, 18, 300);
    FontCache fonts;
    EXPECT_EQ(keepEndWithin(name, 18, 300), opened);
    EXPECT_EQ(keepEndWithin(name, 18, 300), opened);
    EXPECT_LT(opened.size(), name.size());
}

// Which texts still draw once the font file is gone: only sizes that are open at that moment.
TEST_F(KeptFonts, AFontFileRemovedLaterEndsTheGameAtTheFirstSizeThatIsNotOpen)
{
    const SDL_Rect strip{0, 500, WindowWidth, 40};
    const struct {
        const char* name;
        bool keepFonts;     // a FontCache lives while the file goes
        bool cacheEnded;    // ... and has ended before the next text
        int32_t nextSize;   // the size of the text after the file went (18 was drawn before)
        bool drawn;         // true: drawn from the open font; false: the font message and exit 1
    } cases[] = {
        {"a font opened for every text", false, false, 18, false},
        {"a size kept open", true, false, 18, true},
        {"a size not open yet", true, false, 35, false},
        {"fonts closed with the cache", true, true, 18, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDataDir caseData{{"boulder.ttf"}};
        auto fonts = c.keepFonts ? std::make_unique<FontCache>() : nullptr;
        drawText("Punkte: 1234", 0, 500, TextAlign::Left, 18, nullptr);
        std::filesystem::remove(caseData.data() / "boulder.ttf");
        if (c.cacheEnded)
            fonts.reset();
        screen.clear();
        auto next = [&] { drawText("Klicks: 5", 0, 500, TextAlign::Left, c.nextSize, nullptr); };
        if (c.drawn) {
            next();
            EXPECT_GT(redIn(strip), 20);
        } else {
            EXPECT_EXIT(next(), testing::ExitedWithCode(1), "^Konnte Font-File nicht laden!: ");
        }
    }
}

TEST_F(KeptFonts, AMissingFontEndsTheFirstTextWithTheFontMessage)
{
    removeFont();
    FontCache fonts;
    EXPECT_EXIT(drawText("K L A K O R I A", 0, 10, TextAlign::Center, 72, nullptr), testing::ExitedWithCode(1),
                "^Konnte Font-File nicht laden!: ");
}
