#pragma once
// The glyph sheets: every Latin-1 glyph of the font at every size the game draws text in, rendered
// with SDL_ttf at build time (tools/make_glyph_sheets.cpp), so that GlyphText can draw the same
// pixels where SDL_ttf would draw with another font. Both sides read their layout from here.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Every size the game draws text in, the one list of them: drawText takes no other.
inline constexpr std::array<int32_t, 8> TextSizes{16, 18, 30, 35, 45, 50, 72, 90};
constexpr bool isTextSize(int32_t size)
{
    return std::find(TextSizes.begin(), TextSizes.end(), size) != TextSizes.end();
}

inline constexpr const char* GlyphSheetFile = "Data/glyphs.bmp";    // the grey levels of every glyph
inline constexpr const char* GlyphMetricsFile = "Data/glyphs.dat";  // where they lie, how they are laid out

// One glyph as SDL_ttf lays it out (its TTF_GlyphMetrics), and its grey levels on the sheet: as
// many rows as FreeType rendered, drawn from the row ascent - maxy of the text, and as many
// columns as SDL_ttf copies of them (never more than maxx - minx).
struct GlyphBox {
    int16_t minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
    int16_t sheetX = 0, sheetY = 0, columns = 0, rows = 0;

    bool operator==(const GlyphBox&) const = default;
};

// The shift in pixels that SDL_ttf adds between these two Latin-1 codes (FreeType's kerning).
struct KerningPair {
    uint8_t first = 0, second = 0;
    int8_t shift = 0;

    bool operator==(const KerningPair&) const = default;
};

struct GlyphSize {
    int16_t size = 0, ascent = 0, height = 0;  // TTF_FontAscent, TTF_FontHeight
    std::array<GlyphBox, 256> glyphs{};        // by Latin-1 code; code 0 ends a text and has none
    std::vector<KerningPair> kerning;          // by first, then second code; none with a shift of 0

    bool operator==(const GlyphSize&) const = default;
};

std::string encodeGlyphMetrics(const std::vector<GlyphSize>& sizes);
// False when the bytes are not a whole metrics file.
bool decodeGlyphMetrics(const std::string& bytes, std::vector<GlyphSize>& sizes);

// 8-bit grey levels, rows from the top.
struct GreyImage {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> pixels;

    bool operator==(const GreyImage&) const = default;
};

// A BMP file of 8 bits a pixel with a grey palette, run-length encoded (BI_RLE8): the glyphs are
// mostly runs of black and full red, so the sheets stay small for a download.
std::string encodeGreyBmp(const GreyImage& image);
// Reads what encodeGreyBmp writes (any BI_RLE8 file: the palette index is taken as the grey level);
// false for anything else.
bool decodeGreyBmp(const std::string& bytes, GreyImage& image);
