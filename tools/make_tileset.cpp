// make_tileset <file.bmp>: draws the colourless tile template of the game as a 24-bit BMP.
//
// The game tints the template at start-up: in each 64-pixel row of tiles the left 32 pixels are
// the base layer, the right 32 pixels the top layer. Pure white becomes the tile's colour (half
// bright in the base layer, full in the top layer), pure black in the top layer is a hole that
// shows the base layer, and every other colour stays as drawn. So each tile is designed here as
// a picture of four materials - bright colour, dark colour, black and fixed greys - and split
// into the two layers at the end.
//
// Rows: tile set n at y = 160 n (n = 0..4); the four frames of the vanishing animation at
// y = 32, 64, 96 and 128.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Tile = 32;
constexpr int Width = 2 * Tile;
constexpr int Height = 4 * 160 + Tile;

enum class Material { Black, Dark, Bright, Grey };

struct Pixel {
    Material material = Material::Black;
    uint8_t grey = 0;  // for Grey: never 0 or 255, those are the tint markers
};

using TilePicture = std::array<std::array<Pixel, Tile>, Tile>;  // [y][x]

constexpr Pixel black() { return {Material::Black, 0}; }
constexpr Pixel dark() { return {Material::Dark, 0}; }
constexpr Pixel bright() { return {Material::Bright, 0}; }
Pixel grey(int value) { return {Material::Grey, static_cast<uint8_t>(std::clamp(value, 1, 254))}; }

// Ordered dithering between the two tints gives the in-between shades the tinting cannot.
constexpr int Bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
Pixel shade(double brightness, int x, int y)
{
    return brightness * 16.0 > Bayer[y & 3][x & 3] + 0.5 ? bright() : dark();
}

double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

// Pixel centres relative to the tile centre.
double cx(int x) { return x + 0.5 - Tile / 2.0; }
double cy(int y) { return y + 0.5 - Tile / 2.0; }

TilePicture paint(const std::function<Pixel(int, int)>& at)
{
    TilePicture picture;
    for (int y = 0; y < Tile; ++y)
        for (int x = 0; x < Tile; ++x)
            picture[y][x] = at(x, y);
    return picture;
}

// Set 0: a bevelled block - lit top and left edges, shadowed bottom and right, a flat face.
TilePicture bevelledBlock()
{
    return paint([](int x, int y) {
        const int far = Tile - 1;
        if (x == 0 || y == 0 || x == far || y == far)
            return grey(40);
        const int left = x - 1, top = y - 1, right = far - 1 - x, bottom = far - 1 - y;
        const int edge = std::min({left, top, right, bottom});
        if (edge < 4) {
            const bool lit = (top == edge || left == edge) && !(right < 4 && right <= top) && !(bottom < 4 && bottom <= left);
            if (lit)
                return edge == 0 ? grey(235) : (edge == 1 ? shade(0.85, x, y) : bright());
            return edge == 0 ? grey(70) : dark();
        }
        return bright();
    });
}

// Set 1: a glossy ball lit from the upper left, with a bright highlight.
TilePicture glossyBall()
{
    return paint([](int x, int y) {
        const double r = std::hypot(cx(x), cy(y));
        const double radius = 14.6;
        if (r > radius + 0.5)
            return black();
        if (r > radius - 0.6)
            return grey(45);
        const double nx = cx(x) / radius, ny = cy(y) / radius;
        const double nz = std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny));
        const double light = clamp01(-0.5 * nx - 0.55 * ny + 0.67 * nz);
        const double hx = cx(x) + 5.0, hy = cy(y) + 5.5;
        if (hx * hx / 9.0 + hy * hy / 5.0 < 1.0)
            return grey(hx * hx / 9.0 + hy * hy / 5.0 < 0.35 ? 250 : 215);
        // a rim of reflected light on the lower right
        if (r > radius - 2.5 && nx + ny > 0.9)
            return shade(0.55, x, y);
        return shade(0.15 + 1.1 * light, x, y);
    });
}

// Set 2: a cut gem - an octagon whose facets catch the light differently around a flat table.
TilePicture cutGem()
{
    return paint([](int x, int y) {
        const double px = cx(x), py = cy(y);
        const double outer = std::max({std::abs(px), std::abs(py), (std::abs(px) + std::abs(py)) / 1.35});
        if (outer > 14.5)
            return black();
        if (outer > 13.6)
            return grey(50);
        const double table = std::max({std::abs(px), std::abs(py), (std::abs(px) + std::abs(py)) / 1.35});
        if (table < 7.2) {
            if (std::abs(px - py + 6.0) < 1.0 && px < 1.0)
                return grey(240);
            return table > 6.4 ? grey(225) : bright();
        }
        // facets: which side of the gem the pixel lies on decides its light
        const double angle = std::atan2(py, px);  // 0 right, pi/2 down
        const int facet = static_cast<int>(std::floor((angle + M_PI) / (M_PI / 4.0) + 0.5)) % 8;
        static const double light[8] = {0.55, 1.0, 1.0, 0.55, 0.55, 0.0, 0.0, 0.55};
        // facet 0: left, 2: top, 4: right, 6: bottom
        return shade(light[facet], x, y);
    });
}

// Set 3: a ring, shaded as a tube lit from the upper left, with a black hole in the middle.
TilePicture ring()
{
    return paint([](int x, int y) {
        const double px = cx(x), py = cy(y);
        const double r = std::hypot(px, py);
        const double outer = 14.6, inner = 6.4;
        if (r > outer + 0.5 || r < inner - 0.5)
            return black();
        if (r > outer - 0.6 || r < inner + 0.6)
            return grey(45);
        const double middle = (outer + inner) / 2.0, half = (outer - inner) / 2.0;
        const double across = (r - middle) / half;  // -1 inner edge .. 1 outer edge
        const double ux = px / r, uy = py / r;
        const double nx = ux * across, ny = uy * across;
        const double nz = std::sqrt(std::max(0.0, 1.0 - across * across));
        const double light = clamp01(-0.55 * nx - 0.6 * ny + 0.58 * nz);
        if (light > 0.93)
            return grey(235);
        return shade(0.1 + 1.05 * light, x, y);
    });
}

// Set 4: a framed square - a grey metal frame around a coloured pane with a diagonal sheen.
TilePicture framedSquare()
{
    return paint([](int x, int y) {
        const int far = Tile - 1;
        const int edge = std::min({x, y, far - x, far - y});
        const bool upperLeft = (x <= y) ? (x < far - y) : (y < far - x);
        if (edge == 0)
            return grey(35);
        if (edge < 4) {
            // the frame: lit above and on the left, darker below and on the right
            const bool lit = (y == edge || x == edge) && upperLeft;
            static const int litGreys[3] = {225, 190, 160};
            static const int darkGreys[3] = {125, 100, 85};
            return grey(lit ? litGreys[edge - 1] : darkGreys[edge - 1]);
        }
        if (edge == 4)
            return grey(55);
        // the pane: an inner shadow below the frame's lit edges, a glint across its corner
        if ((y == 5 || x == 5) && upperLeft)
            return dark();
        const double d = (x + y) - 2.0 * 5.5;
        if (d > 7 && d < 10 && x < 16 && y < 16)
            return grey(225);
        if (d > 11 && d < 12.5 && x < 16 && y < 16)
            return grey(200);
        return bright();
    });
}

// The vanishing animation: the tile falls apart into a shrinking, thinning sparkle.
TilePicture vanishingFrame(int frame)  // 1..4
{
    return paint([frame](int x, int y) {
        const double px = cx(x), py = cy(y);
        const double size = 13.5 - 3.0 * frame;
        const double diamond = std::abs(px) + std::abs(py);
        const double star = std::min(std::abs(px), std::abs(py));
        const double density = 1.0 - 0.2 * frame;
        if (diamond < size * 0.55)
            return frame >= 3 ? grey(240 - 20 * frame) : shade(density + 0.2, x, y);
        if (diamond < size && star < 1.2)
            return frame <= 2 ? grey(220) : shade(density, x, y);
        if (diamond < size * 1.1 && std::max(std::abs(px), std::abs(py)) < size * 0.7)
            return shade(density * 0.6, x, y);
        // scattered sparks drifting outward
        const double spark = std::hypot(px, py);
        if (std::abs(spark - (6.0 + 2.5 * frame)) < 0.6 && ((x * 7 + y * 13 + frame * 5) % 11 == 0))
            return frame == 4 ? dark() : bright();
        return black();
    });
}

struct Rgb {
    uint8_t r, g, b;
};

struct Image {
    std::vector<Rgb> pixels = std::vector<Rgb>(Width * Height, Rgb{0, 0, 0});
    Rgb& at(int x, int y) { return pixels[y * Width + x]; }
};

// A picture becomes two layers: the top layer carries everything but the dark tint, which
// only the base layer can give and which shows through a hole in the top layer.
void place(Image& image, const TilePicture& picture, int top)
{
    for (int y = 0; y < Tile; ++y)
        for (int x = 0; x < Tile; ++x) {
            const Pixel p = picture[y][x];
            Rgb base{0, 0, 0};
            Rgb over{0, 0, 0};
            switch (p.material) {
            case Material::Black:
                break;
            case Material::Dark:
                base = {255, 255, 255};
                break;
            case Material::Bright:
                over = {255, 255, 255};
                break;
            case Material::Grey:
                over = {p.grey, p.grey, p.grey};
                base = over;
                break;
            }
            image.at(x, top + y) = base;
            image.at(Tile + x, top + y) = over;
        }
}

bool writeBmp(const char* path, Image& image)
{
    const int rowBytes = Width * 3;  // 192, already a multiple of four
    const uint32_t dataSize = rowBytes * Height;
    const uint32_t fileSize = 54 + dataSize;
    uint8_t header[54] = {'B', 'M'};
    auto put32 = [&](int offset, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            header[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    auto put16 = [&](int offset, uint16_t v) {
        header[offset] = static_cast<uint8_t>(v);
        header[offset + 1] = static_cast<uint8_t>(v >> 8);
    };
    put32(2, fileSize);
    put32(10, 54);      // pixel data offset
    put32(14, 40);      // BITMAPINFOHEADER
    put32(18, Width);
    put32(22, Height);  // positive: rows stored bottom-up
    put16(26, 1);       // planes
    put16(28, 24);      // bits per pixel
    put32(34, dataSize);
    put32(38, 2835);    // 72 dpi
    put32(42, 2835);

    FILE* out = std::fopen(path, "wb");
    if (!out)
        return false;
    bool ok = std::fwrite(header, 1, sizeof header, out) == sizeof header;
    std::vector<uint8_t> row(rowBytes);
    for (int y = Height - 1; y >= 0 && ok; --y) {
        for (int x = 0; x < Width; ++x) {
            const Rgb c = image.at(x, y);
            row[3 * x] = c.b;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.r;
        }
        ok = std::fwrite(row.data(), 1, row.size(), out) == row.size();
    }
    return std::fclose(out) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_tileset <file.bmp>\n");
        return 2;
    }
    Image image;
    const TilePicture sets[5] = {bevelledBlock(), glossyBall(), cutGem(), ring(), framedSquare()};
    for (int n = 0; n < 5; ++n)
        place(image, sets[n], 160 * n);
    for (int frame = 1; frame <= 4; ++frame)
        place(image, vanishingFrame(frame), Tile * frame);
    if (!writeBmp(argv[1], image)) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
