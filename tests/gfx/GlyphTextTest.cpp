#include <gtest/gtest.h>

#include <SDL_ttf.h>

#include "TestSupport.h"
#include "gfx/GlyphSheets.h"
#include "gfx/GlyphText.h"

using namespace testing_support;

// The pixels in the screen's format; "" for no surface. All texts of a size are equally high.
std::string pixels(SurfacePtr surface)
{
    if (!surface)
        return "";
    const SurfacePtr converted(SDL_ConvertSurface(surface.get(), screenSurface->format, 0));
    return std::string(static_cast<char*>(converted->pixels), converted->pitch * surface->h);
}

// At every size the game draws in, every Latin-1 character alone and a text with pairs that fonts
// often kern have SDL_ttf's box and colours.
TEST(GlyphText, DrawsAsSdlTtf)
{
    TempDataDir data;
    DummyScreen screen;
    for (const int32_t size : TextSizes) {
        TTF_Font* font = TTF_OpenFont("Data/boulder.ttf", size);
        const GlyphFont glyphs(size);
        std::vector<std::string> texts = {"", "AVATAR Tor, \xC4gid\xE9 Stra\xDF" "e"};
        for (int code = 1; code < 256; ++code)
            texts.emplace_back(1, char(code));
        for (const std::string& text : texts) {
            const std::string ttf = pixels(SurfacePtr(TTF_RenderText_Shaded(font, text.c_str(), {255, 0, 0, 0}, {})));
            ASSERT_TRUE(ttf == pixels(glyphs.render(text))) << size << " " << text;
        }
        TTF_CloseFont(font);
    }
}

// One holding more rows than its header claims is refused; a sheet file that cannot be read ends the
// program with its name, as a missing font file does.
TEST(GlyphSheets, ADamagedSheetIsRefused)
{
    GreyImage image{1, 2, {9, 9}};
    std::string sheet = encodeGreyBmp(image);
    // the height
    sheet[22] = 1;
    EXPECT_FALSE(decodeGreyBmp(sheet, image));

    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempDataDir data{{"glyphs.dat"}};
    data.writeFile(GlyphSheetFile, sheet);
    EXPECT_EXIT(GlyphFont{18}, testing::ExitedWithCode(1), "nicht laden!: Data/glyphs.bmp");
}
