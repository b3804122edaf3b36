// Renders the glyph sheets: every Latin-1 glyph of the font at every size the game draws text in,
// with the layout SDL_ttf gives it and the kerning SDL_ttf adds between two glyphs. The web build
// draws its texts from them (GlyphText), because SDL_ttf there draws with a font of the browser.
//
// TTF_RenderText_Shaded lays out what TTF_GlyphMetrics reports and copies the grey levels of
// FreeType's rendering of each glyph; SDL_ttf hands out neither those levels nor the kerning, so
// both come from FreeType here, asked exactly as SDL_ttf asks it.
//
//   make_glyph_sheets <font.ttf> <glyphs.bmp> <glyphs.dat>
#include <SDL_ttf.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "gfx/GlyphSheets.h"

namespace {

constexpr int32_t SheetWidth = 1024;
constexpr int32_t Gap = 1;  // between glyphs, so that the sheet can be looked at

[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "make_glyph_sheets: %s\n", what.c_str());
    std::exit(1);
}

// Glyphs placed left to right in shelves as high as their highest glyph; every size starts a shelf.
struct Sheet {
    struct Placed {
        int32_t x, y, columns, rows;
        std::vector<uint8_t> pixels;
    };
    std::vector<Placed> placed;
    int32_t x = SheetWidth, shelfTop = -Gap, shelfHeight = 0;

    void newShelf()
    {
        shelfTop += shelfHeight + Gap;
        x = 0, shelfHeight = 0;
    }
    void place(const FT_Bitmap& bitmap, int columns, GlyphBox& box)
    {
        const auto rows = static_cast<int32_t>(bitmap.rows);
        if (x + columns > SheetWidth)
            newShelf();
        box.sheetX = static_cast<int16_t>(x), box.sheetY = static_cast<int16_t>(shelfTop);
        std::vector<uint8_t> pixels(static_cast<size_t>(rows * columns));
        for (int32_t row = 0; row < rows; ++row)
            std::copy_n(bitmap.buffer + row * bitmap.pitch, columns, &pixels[static_cast<size_t>(row * columns)]);
        placed.push_back({x, shelfTop, columns, rows, std::move(pixels)});
        x += columns + Gap;
        shelfHeight = std::max(shelfHeight, rows);
    }
    GreyImage image() const
    {
        GreyImage sheet{SheetWidth, shelfTop + shelfHeight, {}};
        sheet.pixels.assign(static_cast<size_t>(sheet.width * sheet.height), 0);
        for (const Placed& glyph : placed)
            for (int32_t row = 0; row < glyph.rows; ++row)
                std::copy_n(&glyph.pixels[static_cast<size_t>(row * glyph.columns)], glyph.columns,
                            &sheet.pixels[static_cast<size_t>((glyph.y + row) * SheetWidth + glyph.x)]);
        return sheet;
    }
};

// The first Unicode charmap, in SDL_ttf's order of preference: the glyph numbers that kerning is
// looked up by depend on it.
void selectCharmapAsSdlTtf(FT_Face face)
{
    for (int i = 0; i < face->num_charmaps; ++i) {
        const FT_CharMap map = face->charmaps[i];
        if ((map->platform_id == 3 && (map->encoding_id == 1 || map->encoding_id == 0)) ||
            (map->platform_id == 2 && map->encoding_id == 1) || map->platform_id == 0) {
            FT_Set_Charmap(face, map);
            return;
        }
    }
}

GlyphSize renderSize(const char* fontFile, FT_Face face, int32_t size, Sheet& sheet)
{
    TTF_Font* font = TTF_OpenFont(fontFile, size);
    if (!font || FT_Set_Char_Size(face, 0, size * 64, 0, 0) != 0)
        fail(std::string("cannot open ") + fontFile + " at size " + std::to_string(size));
    GlyphSize glyphs;
    glyphs.size = static_cast<int16_t>(size);
    glyphs.ascent = static_cast<int16_t>(TTF_FontAscent(font));
    glyphs.height = static_cast<int16_t>(TTF_FontHeight(font));
    sheet.newShelf();
    std::map<FT_UInt, const GlyphBox*> rendered;  // codes without a glyph of their own share one
    for (int code = 1; code < 256; ++code) {
        GlyphBox& box = glyphs.glyphs[static_cast<size_t>(code)];
        int minx, maxx, miny, maxy, advance;
        if (TTF_GlyphMetrics(font, static_cast<Uint16>(code), &minx, &maxx, &miny, &maxy, &advance) != 0)
            fail("no metrics for code " + std::to_string(code));
        box.minx = static_cast<int16_t>(minx), box.maxx = static_cast<int16_t>(maxx);
        box.miny = static_cast<int16_t>(miny), box.maxy = static_cast<int16_t>(maxy);
        box.advance = static_cast<int16_t>(advance);

        const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
        if (const auto same = rendered.find(index); same != rendered.end()) {
            box = *same->second;
            continue;
        }
        if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0 ||
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0)
            fail("cannot render code " + std::to_string(code));
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        if (bitmap.rows > 0 && (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.num_grays != 256))
            fail("no 256 grey levels for code " + std::to_string(code));
        // SDL_ttf copies no more columns than the glyph's box is wide.
        const int columns = std::min(static_cast<int>(bitmap.width), maxx - minx);
        box.columns = static_cast<int16_t>(columns), box.rows = static_cast<int16_t>(bitmap.rows);
        if (columns > 0 && bitmap.rows > 0)
            sheet.place(bitmap, columns, box);
        rendered[index] = &box;
    }
    // SDL_ttf kerns two glyphs when the font has kerning and both glyphs exist, by whole pixels
    // rounded down.
    for (int first = 1; FT_HAS_KERNING(face) && first < 256; ++first) {
        for (int second = 1; second < 256; ++second) {
            const FT_UInt left = FT_Get_Char_Index(face, static_cast<FT_ULong>(first));
            const FT_UInt right = FT_Get_Char_Index(face, static_cast<FT_ULong>(second));
            FT_Vector delta{0, 0};
            if (left == 0 || right == 0 || FT_Get_Kerning(face, left, right, FT_KERNING_DEFAULT, &delta) != 0)
                continue;
            const FT_Pos shift = delta.x >> 6;
            if (shift < -128 || shift > 127)
                fail("kerning out of range");
            if (shift != 0)
                glyphs.kerning.push_back({static_cast<uint8_t>(first), static_cast<uint8_t>(second),
                                          static_cast<int8_t>(shift)});
        }
    }
    TTF_CloseFont(font);
    return glyphs;
}

void writeFile(const char* name, const std::string& bytes)
{
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush())
        fail(std::string("cannot write ") + name);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        fail("usage: make_glyph_sheets <font.ttf> <glyphs.bmp> <glyphs.dat>");
    FT_Library library;
    FT_Face face;
    if (TTF_Init() != 0 || FT_Init_FreeType(&library) != 0 || FT_New_Face(library, argv[1], 0, &face) != 0)
        fail(std::string("cannot open ") + argv[1]);
    selectCharmapAsSdlTtf(face);

    Sheet sheet;
    std::vector<GlyphSize> sizes;
    for (const int32_t size : TextSizes)
        sizes.push_back(renderSize(argv[1], face, size, sheet));
    writeFile(argv[2], encodeGreyBmp(sheet.image()));
    writeFile(argv[3], encodeGlyphMetrics(sizes));

    FT_Done_Face(face);
    FT_Done_FreeType(library);
    TTF_Quit();
    return 0;
}
