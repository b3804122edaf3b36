#include <gtest/gtest.h>

#include <SDL_ttf.h>

#include <random>

#include "TestSupport.h"
#include "gfx/GlyphSheets.h"
#include "gfx/GlyphText.h"

using namespace testing_support;

namespace {

// The box's width, then its pixels in the screen's format row after row; nothing for no surface.
std::vector<Uint32> pixels(SDL_Surface* surface)
{
    if (!surface)
        return {};
    const SurfacePtr converted(SDL_ConvertSurface(surface, screenSurface->format, SDL_SWSURFACE));
    std::vector<Uint32> all{Uint32(surface->w)};
    for (int y = 0; y < surface->h; ++y) {
        const auto* row = static_cast<Uint32*>(converted->pixels) + y * converted->pitch / 4;
        all.insert(all.end(), row, row + surface->w);
    }
    return all;
}

}  // namespace

// At every size the game draws in: every Latin-1 character alone, every pair SDL_ttf kerns and a few
// texts have SDL_ttf's box, colours and width from GlyphText.
TEST(GlyphText, DrawsAndMeasuresEveryTextExactlyAsSdlTtf)
{
    TempDataDir data{{"boulder.ttf", "glyphs.bmp", "glyphs.dat"}};
    DummyScreen screen;
    std::vector<GlyphSize> sizes;
    ASSERT_TRUE(decodeGlyphMetrics(data.readFile(GlyphMetricsFile), sizes));
    for (const GlyphSize& size : sizes) {
        TTF_Font* font = TTF_OpenFont("Data/boulder.ttf", size.size);
        const GlyphFont glyphs(size.size);
        std::vector<std::string> texts = {"", "K L A K O R I A", "\xC4gid\xE9 \xD6zt\xFCrk-Stra\xDF" "e"};
        for (int code = 1; code < 256; ++code)
            texts.emplace_back(1, char(code));
        for (const KerningPair& pair : size.kerning)
            texts.push_back({char(pair.first), char(pair.second)});
        for (const std::string& text : texts) {
            int width = 0, height = 0;
            TTF_SizeText(font, text.c_str(), &width, &height);
            const SurfacePtr ttf(TTF_RenderText_Shaded(font, text.c_str(), {255, 0, 0, 0}, {0, 0, 0, 0}));
            ASSERT_TRUE(pixels(ttf.get()) == pixels(glyphs.render(text).get())) << size.size << " \"" << text << '"';
            ASSERT_EQ(glyphs.width(text), width) << size.size << " \"" << text << '"';
        }
        TTF_CloseFont(font);
    }
}

// Runs, short and long stretches of unlike levels and several rows come back from the sheet's file;
// a file holding more rows than its header claims is refused.
TEST(GlyphSheets, AnImageComesBackFromItsFileAndOneWithMoreRowsThanItClaimsIsRefused)
{
    std::mt19937 random(5);
    GreyImage image{300, 3, {}}, decoded;
    for (int i = 0; i < 900; ++i)
        image.pixels.push_back(uint8_t(random() % 3 ? 0 : random()));
    std::string bmp = encodeGreyBmp(image);
    EXPECT_TRUE(decodeGreyBmp(bmp, decoded) && decoded == image);
    bmp[22] = 2;  // the height
    EXPECT_FALSE(decodeGreyBmp(bmp, decoded));
}

// A damaged sheet ends the program with a message naming it, as a missing font file does.
TEST(GlyphText, ADamagedSheetEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a child process of its own reads the sheets
    TempDataDir data{{"glyphs.dat"}};
    data.writeFile(GlyphSheetFile, "BM");
    EXPECT_EXIT(GlyphFont{18}, testing::ExitedWithCode(1), "nicht laden!: Data/glyphs.bmp");
}
