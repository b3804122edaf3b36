#include "gfx/GlyphText.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "gfx/GlyphSheets.h"

// One size's glyphs, with the kerning pairs of each first code found at once.
struct LoadedGlyphs {
    GlyphSize metrics;
    std::array<uint16_t, 257> kerningStart{};  // the pairs of code c: [kerningStart[c], kerningStart[c + 1])

    int32_t kerning(uint8_t first, uint8_t second) const
    {
        for (size_t i = kerningStart[first]; i < kerningStart[first + 1]; ++i)
            if (metrics.kerning[i].second == second)
                return metrics.kerning[i].shift;
        return 0;
    }
};

namespace {

struct Sheets {
    GreyImage sheet;
    std::vector<LoadedGlyphs> sizes;
};

[[noreturn]] void cannotLoad(const char* file)
{
    std::fprintf(stderr, "Konnte Glyphen nicht laden!: %s\n", file);
    std::exit(1);
}

std::string contents(const char* file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        cannotLoad(file);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Every glyph's rectangle lies on the sheet, and the kerning pairs come in the order of their
// first code, so that kerningStart can index them.
bool fill(LoadedGlyphs& size, const GreyImage& sheet)
{
    for (const GlyphBox& box : size.metrics.glyphs) {
        if (box.columns < 0 || box.rows < 0)
            return false;
        if (box.columns > 0 && box.rows > 0 &&
            (box.sheetX < 0 || box.sheetY < 0 || box.sheetX + box.columns > sheet.width ||
             box.sheetY + box.rows > sheet.height))
            return false;
    }
    const std::vector<KerningPair>& pairs = size.metrics.kerning;
    if (pairs.size() > UINT16_MAX ||
        !std::is_sorted(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return a.first < b.first; }))
        return false;
    for (int code = 0; code <= 256; ++code) {
        const auto start =
            std::lower_bound(pairs.begin(), pairs.end(), code, [](const auto& pair, int c) { return pair.first < c; });
        size.kerningStart[static_cast<size_t>(code)] = static_cast<uint16_t>(start - pairs.begin());
    }
    return true;
}

Sheets load()
{
    Sheets loaded;
    if (!decodeGreyBmp(contents(GlyphSheetFile), loaded.sheet))
        cannotLoad(GlyphSheetFile);
    std::vector<GlyphSize> sizes;
    if (!decodeGlyphMetrics(contents(GlyphMetricsFile), sizes))
        cannotLoad(GlyphMetricsFile);
    for (GlyphSize& size : sizes) {
        loaded.sizes.push_back(LoadedGlyphs{std::move(size), {}});
        if (!fill(loaded.sizes.back(), loaded.sheet))
            cannotLoad(GlyphMetricsFile);
    }
    return loaded;
}

const Sheets& sheets()
{
    static const Sheets loaded = load();
    return loaded;
}

// Calls place(glyph, x) for every glyph of the text in turn, x being where SDL_ttf's pen stands
// for it: the advances of the glyphs before it and the kerning of every pair up to it.
template <typename Place>
void layOut(const LoadedGlyphs& glyphs, const std::string& text, Place&& place)
{
    int32_t x = 0;
    uint8_t previous = 0;  // no pair at the start
    for (const char c : text) {
        const auto code = static_cast<uint8_t>(c);
        if (code == 0)
            break;
        x += glyphs.kerning(previous, code);
        const GlyphBox& glyph = glyphs.metrics.glyphs[code];
        place(glyph, x);
        x += glyph.advance;
        previous = code;
    }
}

struct Box {
    int32_t width, height;
};

// As TTF_SizeText: from the leftmost ink or pen position to the rightmost, and from the top of the
// font to its bottom or the lowest glyph below it.
Box boxOf(const LoadedGlyphs& glyphs, const std::string& text)
{
    int32_t left = 0, right = 0, bottom = 0;
    layOut(glyphs, text, [&](const GlyphBox& glyph, int32_t x) {
        left = std::min(left, x + glyph.minx);
        right = std::max(right, x + std::max(glyph.advance, glyph.maxx));
        bottom = std::min(bottom, static_cast<int32_t>(glyph.miny));
    });
    return {right - left, std::max(glyphs.metrics.ascent - bottom, static_cast<int32_t>(glyphs.metrics.height))};
}

}  // namespace

GlyphFont::GlyphFont(int32_t size)
{
    const std::vector<LoadedGlyphs>& sizes = sheets().sizes;
    const auto found = std::find_if(sizes.begin(), sizes.end(), [&](const auto& s) { return s.metrics.size == size; });
    if (found == sizes.end()) {
        std::fprintf(stderr, "Keine Glyphen der Groesse %d in %s!\n", static_cast<int>(size), GlyphMetricsFile);
        std::exit(1);
    }
    glyphs = &*found;
}

int32_t GlyphFont::width(const std::string& text) const { return boxOf(*glyphs, text).width; }

// As TTF_RenderText_Shaded: every glyph's grey levels ORed from its pen position into rows of bytes
// laid out as SDL_ttf's 8-bit surface (a row's length rounded up to whole 4 bytes). SDL_ttf moves
// the pen right by the first glyph's overhang to the left, but not by a later one's: that one's ink
// wraps onto the end of the row above, as there. The levels then become shades of red in a 32-bit
// surface, written while it is locked: Emscripten's SDL keeps only 32-bit surfaces and hands the
// pixels to the canvas only on unlocking.
SurfacePtr GlyphFont::render(const std::string& text) const
{
    const Box box = boxOf(*glyphs, text);
    if (box.width == 0) {
        SDL_SetError("Text has zero width");
        return nullptr;
    }
    const ptrdiff_t pitch = (box.width + 3) / 4 * 4;
    std::vector<uint8_t> levels(static_cast<size_t>(pitch * box.height), 0);
    const GreyImage& sheet = sheets().sheet;
    int32_t firstOverhang = -1;
    layOut(*glyphs, text, [&](const GlyphBox& glyph, int32_t x) {
        if (firstOverhang < 0)
            firstOverhang = std::max(0, -static_cast<int32_t>(glyph.minx));
        if (glyph.columns == 0)
            return;
        const int32_t top = glyphs->metrics.ascent - glyph.maxy;
        for (int32_t row = 0; row < glyph.rows; ++row) {
            if (top + row < 0 || top + row >= box.height)
                continue;
            const size_t sheetAt = static_cast<size_t>((glyph.sheetY + row) * sheet.width + glyph.sheetX);
            const uint8_t* from = &sheet.pixels[sheetAt];
            ptrdiff_t at = (top + row) * pitch + x + firstOverhang + glyph.minx;
            for (int32_t column = 0; column < glyph.columns && at < std::ssize(levels); ++column, ++at)
                if (at >= 0)
                    levels[static_cast<size_t>(at)] |= from[column];
        }
    });

    SurfacePtr surface(
        SDL_CreateRGBSurface(SDL_SWSURFACE, box.width, box.height, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0));
    if (!surface || SDL_LockSurface(surface.get()) != 0)
        return nullptr;
    std::array<Uint32, 256> shades{};  // red on black, as SDL_ttf's palette has them
    for (size_t level = 0; level < shades.size(); ++level)
        shades[level] = SDL_MapRGB(surface->format, static_cast<Uint8>(level), 0, 0);
    for (int32_t y = 0; y < box.height; ++y) {
        auto* const row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch);
        for (int32_t x = 0; x < box.width; ++x)
            row[x] = shades[levels[static_cast<size_t>(y * pitch + x)]];
    }
    SDL_UnlockSurface(surface.get());
    return surface;
}
