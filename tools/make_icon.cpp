// Draws the Klakoria icon: a 3 x 3 block of bevelled tiles in the game's colours, with a red
// group that a player would click. The drawing is made in a 32 x 32 unit space and sampled at
// any size, so the window icon (24-bit BMP) and the desktop icons (PNG with alpha) show the
// same picture.
//
//   make_icon <icon.bmp> [<png path> <size>]...
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;
};

struct Image {
    int size = 0;
    std::vector<uint8_t> rgba;  // rows top to bottom, 4 bytes a pixel
};

constexpr double Units = 32.0;
constexpr double Margin = 1.0;    // the block sits one unit inside the edge
constexpr double TileUnits = 10.0;
constexpr double Bevel = 1.0;

// Tile colours, close to the tints of the game's tile sheet.
constexpr Rgba Red{220, 40, 40, 255};
constexpr Rgba Green{50, 180, 60, 255};
constexpr Rgba Blue{50, 90, 220, 255};
constexpr Rgba Yellow{235, 200, 40, 255};

// Rows top to bottom; the red L in the upper left is one clickable group.
constexpr std::array<std::array<Rgba, 3>, 3> Layout{{
    {Red, Red, Green},
    {Blue, Red, Green},
    {Blue, Yellow, Yellow},
}};

Rgba mix(const Rgba& c, double toward, double amount) {
    return {c.r + (toward - c.r) * amount, c.g + (toward - c.g) * amount,
            c.b + (toward - c.b) * amount, c.a};
}

// The colour at a point of the unit space: transparent outside the block; inside a tile a light
// upper-left bevel, a dark lower-right bevel (split along the corner diagonals) and a face that
// brightens toward the top left.
Rgba sample(double x, double y) {
    const double bx = x - Margin, by = y - Margin;
    if (bx < 0 || by < 0 || bx >= 3 * TileUnits || by >= 3 * TileUnits) return {};
    const int column = static_cast<int>(bx / TileUnits), row = static_cast<int>(by / TileUnits);
    const Rgba& base = Layout[row][column];
    const double u = bx - column * TileUnits, v = by - row * TileUnits;  // 0..10 inside the tile
    const double toLeft = u, toTop = v, toRight = TileUnits - u, toBottom = TileUnits - v;
    const double nearest = std::min(std::min(toLeft, toTop), std::min(toRight, toBottom));
    if (nearest < Bevel) {
        const bool light = std::min(toLeft, toTop) < std::min(toRight, toBottom);
        return light ? mix(base, 255, 0.55) : mix(base, 0, 0.5);
    }
    const double shade = ((u + v) / (2 * TileUnits) - 0.5) * 0.3;  // -0.15 .. +0.15
    return shade < 0 ? mix(base, 255, -shade) : mix(base, 0, shade);
}

// Averages 4 x 4 samples per pixel so larger sizes keep straight, clean edges.
Image draw(int size) {
    Image image{size, std::vector<uint8_t>(static_cast<size_t>(size) * size * 4)};
    constexpr int Sub = 4;
    const double scale = Units / size;
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            Rgba sum;
            for (int sy = 0; sy < Sub; ++sy) {
                for (int sx = 0; sx < Sub; ++sx) {
                    const Rgba c = sample((px + (sx + 0.5) / Sub) * scale, (py + (sy + 0.5) / Sub) * scale);
                    // Premultiplied, so transparent samples do not darken the edges.
                    sum.r += c.r * c.a; sum.g += c.g * c.a; sum.b += c.b * c.a; sum.a += c.a;
                }
            }
            uint8_t* out = &image.rgba[(static_cast<size_t>(py) * size + px) * 4];
            const double alpha = sum.a / (Sub * Sub);
            const auto channel = [&](double premultiplied) {
                return static_cast<uint8_t>(sum.a > 0 ? premultiplied / sum.a + 0.5 : 0);
            };
            out[0] = channel(sum.r); out[1] = channel(sum.g); out[2] = channel(sum.b);
            out[3] = static_cast<uint8_t>(alpha + 0.5);
        }
    }
    return image;
}

void putLE(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void putBE(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// 24-bit BMP, rows bottom to top, transparent pixels black (SDL sets the icon without a mask).
std::vector<uint8_t> encodeBmp(const Image& image) {
    const uint32_t rowBytes = (image.size * 3 + 3) & ~3u;
    const uint32_t pixelBytes = rowBytes * image.size;
    std::vector<uint8_t> out{'B', 'M'};
    putLE(out, 54 + pixelBytes, 4);
    putLE(out, 0, 4);
    putLE(out, 54, 4);
    putLE(out, 40, 4);                 // BITMAPINFOHEADER
    putLE(out, image.size, 4);
    putLE(out, image.size, 4);         // positive height: bottom-up
    putLE(out, 1, 2);
    putLE(out, 24, 2);
    putLE(out, 0, 4);                  // no compression
    putLE(out, pixelBytes, 4);
    putLE(out, 2835, 4);               // 72 dpi
    putLE(out, 2835, 4);
    putLE(out, 0, 4);
    putLE(out, 0, 4);
    for (int y = image.size - 1; y >= 0; --y) {
        for (int x = 0; x < image.size; ++x) {
            const uint8_t* p = &image.rgba[(static_cast<size_t>(y) * image.size + x) * 4];
            const auto over = [&](uint8_t c) { return static_cast<uint8_t>(c * p[3] / 255); };
            out.push_back(over(p[2]));
            out.push_back(over(p[1]));
            out.push_back(over(p[0]));
        }
        for (uint32_t pad = image.size * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
}

uint32_t crc32(const uint8_t* data, size_t length, uint32_t crc = 0) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < length; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

// A zlib stream of stored (uncompressed) blocks: the icons are small, and no library is needed.
std::vector<uint8_t> zlibStored(const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out{0x78, 0x01};
    size_t offset = 0;
    do {
        const size_t length = std::min<size_t>(65535, data.size() - offset);
        const bool last = offset + length == data.size();
        out.push_back(last ? 1 : 0);
        putLE(out, static_cast<uint32_t>(length), 2);
        putLE(out, static_cast<uint32_t>(~length & 0xFFFF), 2);
        out.insert(out.end(), data.begin() + offset, data.begin() + offset + length);
        offset += length;
    } while (offset < data.size());
    putBE(out, adler32(data));
    return out;
}

void putChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& body) {
    putBE(out, static_cast<uint32_t>(body.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    putBE(out, crc32(&out[start], out.size() - start));
}

// 8-bit RGBA PNG, every row with filter type 0.
std::vector<uint8_t> encodePng(const Image& image) {
    std::vector<uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    putBE(header, image.size);
    putBE(header, image.size);
    header.insert(header.end(), {8, 6, 0, 0, 0});  // depth 8, RGBA, deflate, filter 0, no interlace
    putChunk(out, "IHDR", header);
    std::vector<uint8_t> rows;
    const size_t rowBytes = static_cast<size_t>(image.size) * 4;
    for (int y = 0; y < image.size; ++y) {
        rows.push_back(0);
        rows.insert(rows.end(), image.rgba.begin() + y * rowBytes, image.rgba.begin() + (y + 1) * rowBytes);
    }
    putChunk(out, "IDAT", zlibStored(rows));
    putChunk(out, "IEND", {});
    return out;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

int usage() {
    std::fprintf(stderr, "Aufruf: make_icon <icon.bmp> [<png-Datei> <Groesse>]...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc % 2 != 0) return usage();
    std::vector<std::pair<std::string, int>> pngs;
    for (int i = 2; i < argc; i += 2) {
        const int size = std::atoi(argv[i + 1]);
        if (size < 16 || size > 1024) return usage();
        pngs.emplace_back(argv[i], size);
    }
    if (!writeFile(argv[1], encodeBmp(draw(32)))) {
        std::fprintf(stderr, "Konnte %s nicht schreiben\n", argv[1]);
        return 1;
    }
    for (const auto& [path, size] : pngs) {
        if (!writeFile(path, encodePng(draw(size)))) {
            std::fprintf(stderr, "Konnte %s nicht schreiben\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
