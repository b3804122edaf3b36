#include "gfx/GlyphSheets.h"

#include <cstring>

namespace {

// Little-endian numbers, as BMP files keep them; the metrics file does likewise.
struct Writer {
    std::string bytes;
    void u8(int value) { bytes.push_back(static_cast<char>(value & 0xFF)); }
    void u16(int value) { u8(value), u8(value >> 8); }
    void u32(uint32_t value) { u16(static_cast<int>(value & 0xFFFF)), u16(static_cast<int>(value >> 16)); }
};

struct Reader {
    const std::string& bytes;
    size_t at = 0;
    bool ok = true;
    int u8()
    {
        if (at >= bytes.size()) {
            ok = false;
            return 0;
        }
        return static_cast<unsigned char>(bytes[at++]);
    }
    int u16() { return u8() | u8() << 8; }
    int16_t s16() { return static_cast<int16_t>(u16()); }
    uint32_t u32() { return static_cast<uint32_t>(u16()) | static_cast<uint32_t>(u16()) << 16; }
};

constexpr char MetricsMagic[] = "KLG1";

// Glyph fields in file order.
constexpr std::array<int16_t GlyphBox::*, 9> BoxFields{&GlyphBox::minx,   &GlyphBox::maxx,    &GlyphBox::miny,
                                                       &GlyphBox::maxy,   &GlyphBox::advance, &GlyphBox::sheetX,
                                                       &GlyphBox::sheetY, &GlyphBox::columns, &GlyphBox::rows};

constexpr uint32_t FileHeaderBytes = 14;
constexpr uint32_t InfoHeaderBytes = 40;
constexpr uint32_t PaletteBytes = 256 * 4;
constexpr int BiRle8 = 1;
constexpr int LongestRun = 255;

// One row as BI_RLE8 runs: a repeated level as (count, level), at least three others in a row as
// (0, count, levels..., padding to an even length). A row's black end is left to its end-of-line
// mark, which a reader fills with level 0.
void encodeRow(const uint8_t* row, int width, Writer& out)
{
    while (width > 0 && row[width - 1] == 0)
        --width;
    auto runAt = [&](int x) {
        int length = 1;
        while (x + length < width && length < LongestRun && row[x + length] == row[x])
            ++length;
        return length;
    };
    int x = 0;
    while (x < width) {
        if (const int run = runAt(x); run >= 3) {
            out.u8(run), out.u8(row[x]);
            x += run;
            continue;
        }
        int literal = 0;
        while (x + literal < width && literal < LongestRun && runAt(x + literal) < 3)
            ++literal;
        if (literal < 3) {
            for (int i = 0; i < literal; ++i)
                out.u8(1), out.u8(row[x + i]);
        } else {
            out.u8(0), out.u8(literal);
            for (int i = 0; i < literal; ++i)
                out.u8(row[x + i]);
            if (literal % 2 != 0)
                out.u8(0);
        }
        x += literal;
    }
    out.u8(0), out.u8(0);
}

}  // namespace

std::string encodeGlyphMetrics(const std::vector<GlyphSize>& sizes)
{
    Writer out;
    out.bytes = MetricsMagic;
    out.u16(static_cast<int>(sizes.size()));
    for (const GlyphSize& size : sizes) {
        out.u16(size.size), out.u16(size.ascent), out.u16(size.height);
        out.u16(static_cast<int>(size.kerning.size()));
        for (const GlyphBox& glyph : size.glyphs)
            for (const auto field : BoxFields)
                out.u16(glyph.*field);
        for (const KerningPair& pair : size.kerning)
            out.u8(pair.first), out.u8(pair.second), out.u8(pair.shift);
    }
    return out.bytes;
}

bool decodeGlyphMetrics(const std::string& bytes, std::vector<GlyphSize>& sizes)
{
    if (bytes.compare(0, std::strlen(MetricsMagic), MetricsMagic) != 0)
        return false;
    Reader in{bytes, std::strlen(MetricsMagic)};
    sizes.assign(static_cast<size_t>(in.u16()), GlyphSize{});
    for (GlyphSize& size : sizes) {
        size.size = in.s16(), size.ascent = in.s16(), size.height = in.s16();
        size.kerning.resize(static_cast<size_t>(in.u16()));
        for (GlyphBox& glyph : size.glyphs)
            for (const auto field : BoxFields)
                glyph.*field = in.s16();
        for (KerningPair& pair : size.kerning) {
            pair.first = static_cast<uint8_t>(in.u8());
            pair.second = static_cast<uint8_t>(in.u8());
            pair.shift = static_cast<int8_t>(in.u8());
        }
        if (!in.ok)
            return false;
    }
    return in.ok && in.at == bytes.size();
}

std::string encodeGreyBmp(const GreyImage& image)
{
    Writer data;
    for (int32_t y = image.height - 1; y >= 0; --y)  // a BMP stores the bottom row first
        encodeRow(&image.pixels[static_cast<size_t>(y * image.width)], image.width, data);
    data.u8(0), data.u8(1);

    const uint32_t dataStart = FileHeaderBytes + InfoHeaderBytes + PaletteBytes;
    Writer out;
    out.bytes = "BM";
    out.u32(dataStart + static_cast<uint32_t>(data.bytes.size()));
    out.u32(0);
    out.u32(dataStart);
    out.u32(InfoHeaderBytes);
    out.u32(static_cast<uint32_t>(image.width));
    out.u32(static_cast<uint32_t>(image.height));
    out.u16(1);  // planes
    out.u16(8);  // bits a pixel
    out.u32(BiRle8);
    out.u32(static_cast<uint32_t>(data.bytes.size()));
    out.u32(2835), out.u32(2835);  // 72 dots an inch
    out.u32(256), out.u32(0);      // colours used, important
    for (int level = 0; level < 256; ++level)
        out.u8(level), out.u8(level), out.u8(level), out.u8(0);
    return out.bytes + data.bytes;
}

bool decodeGreyBmp(const std::string& bytes, GreyImage& image)
{
    Reader in{bytes};
    if (in.u16() != ('B' | 'M' << 8))
        return false;
    in.u32(), in.u32();
    const uint32_t dataStart = in.u32();
    const uint32_t infoBytes = in.u32();
    const auto width = static_cast<int32_t>(in.u32());
    const auto height = static_cast<int32_t>(in.u32());
    in.u16();
    const int bitsPerPixel = in.u16();
    const int compression = static_cast<int>(in.u32());
    // Large enough for every sheet, small enough that a damaged header asks for no huge image.
    if (!in.ok || infoBytes < InfoHeaderBytes || bitsPerPixel != 8 || compression != BiRle8 || width <= 0 ||
        height <= 0 || width > 1 << 14 || height > 1 << 15 || dataStart >= bytes.size())
        return false;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);

    in.at = dataStart;
    int32_t x = 0;
    int32_t line = 0;  // from the bottom
    auto put = [&](int level) {
        if (x >= width || line >= height)
            return false;
        image.pixels[static_cast<size_t>((height - 1 - line) * width + x++)] = static_cast<uint8_t>(level);
        return true;
    };
    while (in.ok) {
        const int count = in.u8();
        const int value = in.u8();
        if (!in.ok)
            return false;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                if (!put(value))
                    return false;
        } else if (value == 0) {
            x = 0, ++line;
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            x += in.u8(), line += in.u8();
        } else {
            for (int i = 0; i < value; ++i)
                if (!put(in.u8()))
                    return false;
            if (value % 2 != 0)
                in.u8();
        }
    }
    return false;
}
