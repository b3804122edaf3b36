// While a FontCache lives, the fonts of the last few sizes stay open between texts. The texts must
// look exactly as with a font opened for every text, and the font file is read again only for a
// size that is not open.
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

// Six sizes, more than stay open, and sizes coming back after others pushed them out.
const struct {
    std::string text;
    int32_t size;
    int32_t y;
} lines[] = {
    {"K L A K O R I A", 72, 0},      {"Spielen", 30, 90},          {"Welche Spielvariante?", 50, 130},
    {"zur\xFC" "ck zum Men\xFC", 18, 200}, {"Punkte: 1234", 16, 230}, {"Leicht", 35, 260},
    {"Spielen", 30, 310},            {" P A U S E ! ", 90, 350},  {"M\xF6glichkeiten: 17", 18, 470},
    {"Spielen", 30, 510},
};

// The screen's pixels and the reported rectangles, as numbers, after drawing every line.
std::vector<int> drawLines()
{
    SDL_FillRect(screenSurface, nullptr, 0);
    std::vector<int> frame;
    for (const auto& line : lines) {
        SDL_Rect rect{0, 0, 0, 0};
        drawText(line.text, 0, line.y, TextAlign::Center, line.size, &rect);
        frame.insert(frame.end(), {rect.x, rect.y, rect.w, rect.h});
    }
    SDL_LockSurface(screenSurface);
    for (int y = 0; y < WindowHeight; ++y) {
        const auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(screenSurface->pixels) + y * screenSurface->pitch);
        frame.insert(frame.end(), row, row + WindowWidth);
    }
    SDL_UnlockSurface(screenSurface);
    return frame;
}

class KeptFonts : public testing::Test {
protected:
    TempDataDir data{{"boulder.ttf"}};
    DummyScreen screen;
};

}  // namespace

TEST_F(KeptFonts, TextsLookAndMeasureExactlyAsWithAFontOpenedForEveryText)
{
    const std::string name = "Annemarie-Friederike Wolkenstein-Oberhausen";
    const std::vector<int> opened = drawLines();
    const std::string endOpened = keepEndWithin(name, 18, 300);
    ASSERT_LT(endOpened.size(), name.size());
    FontCache fonts;
    for (const char* pass : {"first pass", "from kept glyphs"}) {
        EXPECT_TRUE(drawLines() == opened) << pass;
        EXPECT_EQ(keepEndWithin(name, 18, 300), endOpened) << pass;
    }
}

// Once the font file is gone, only a size that is open at that moment still draws.
TEST_F(KeptFonts, AFontFileRemovedLaterEndsTheGameAtTheFirstSizeThatIsNotOpen)
{
    const struct {
        const char* name;
        bool keepFonts;    // a FontCache lives while the file goes
        bool cacheEnded;   // ... and has ended before the next text
        int32_t nextSize;  // of the text after the file went (18 was drawn before)
        bool drawn;        // false: the font message and exit 1
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
            EXPECT_GT(screen.countRed({0, 500, WindowWidth, 40}), 20);
        } else {
            EXPECT_EXIT(next(), testing::ExitedWithCode(1), "^Konnte Font-File nicht laden!: ");
        }
    }
}
