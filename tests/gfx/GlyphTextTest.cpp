#include <gtest/gtest.h>

#include <SDL_ttf.h>

#include <cstdio>
#include <cstring>
#include <random>

#include "TestSupport.h"
#include "gfx/GlyphSheets.h"
#include "gfx/GlyphText.h"
#include "gfx/Screen.h"

using namespace testing_support;

namespace {

// Every text the game shows, its numbers with every digit, and a name with umlauts.
const std::vector<std::string> GameTexts = {
    "K L A K O R I A", "Spielen", "TileSet", "Highscores", "Info", "Ende", "Hintergrundmusik aus",
    "Hintergrundmusik an", "Welche Spielvariante spielen?", "Standart Click", "Chaos Click", "Speed Click",
    "FallDown Click", "Standartvariante mit 6 Level.", "Mit jedem Level werden es mehr Farben.",
    "Bei jedem Click in das Feld,", "wird das Feld woanders zentriert.",
    "Mit jeder Sekunde werden Punkte abgezogen.", "Bei weniger als 0 Punkten ist das Spiel zuende!",
    "Die Oberste Reihe wird st\xE4ndig gef\xFCllt.", "Wenn sie nicht gef\xFCllt werden kann, hat man Verloren!",
    "zur\xFC" "ck zum Men\xFC", "Mit wievel Farben spielen?", "zwei Farben", "drei Farben", "vier Farben",
    "f\xFCnf Farben", "Welche Schwierigkeitsstufe?", "Leicht", "Mittel", "Schwer", "TileSet 4",
    "Welches TileSet verwenden?", "Klakoria: Gruppen anklicken, Feld leeren.", "Ein Spiel des Klakoria-Teams.",
    "Welche Highscore anzeigen?", "(ende)", "Wirklich beenden", "Ja", "Nein", " P A U S E ! ", "weiter",
    "(pause)", "Punkte: 1234", "Klicks: 567", "M\xF6glichkeiten: 89", "Gewonnen!", "Leider Verloren!",
    "Zwischenergebniss Level 6", "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~", "-------------------------------------",
    "Punkte pro Klick: 10", "Nicht entfernt: 13 %", "Schwierigkeit: 7 Farben",
    "Ben\xF6tigte Zeit: 345 Sekunden", "-> Bonus: 9876 Punkte", "Ergebniss f\xFCr dieses Level:",
    "Derzeitiges Gesamtergebniss:", "Endeergebniss des Spiels", "Gesamtergebniss: -120 Punkte", "RestPunkte: 0",
    "Zeit: 59 Sekunden", "-> GewinnBonus: 3000", "Super!", "Sie haben es in die", "Highscore geschafft.",
    "Sie haben 2147483647 Punkte", "Bitte geben sie ihren Namen ein:", "Highscore von FallDown Click",
    "\xC4gid\xE9 \xD6zt\xFCrk-Stra\xDF" "e",
};

std::string shown(const std::string& text)
{
    std::string readable;
    for (const char c : text) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
        readable += c >= ' ' && c <= '~' ? std::string(1, c) : escaped;
    }
    return readable;
}

// "" when both surfaces have the same box and every pixel the same colour, else the first difference.
std::string difference(SDL_Surface* ttf, SDL_Surface* glyphs)
{
    if (!ttf || !glyphs)
        return ttf == glyphs ? "" : std::string("only one rendered: ") + (ttf ? "SDL_ttf" : "GlyphText");
    if (ttf->w != glyphs->w || ttf->h != glyphs->h)
        return "box " + std::to_string(ttf->w) + " x " + std::to_string(ttf->h) + " from SDL_ttf, " +
               std::to_string(glyphs->w) + " x " + std::to_string(glyphs->h) + " from GlyphText";
    const SurfacePtr a(SDL_ConvertSurface(ttf, screenSurface->format, SDL_SWSURFACE));
    const SurfacePtr b(SDL_ConvertSurface(glyphs, screenSurface->format, SDL_SWSURFACE));
    for (int y = 0; y < a->h; ++y) {
        const auto* rowA = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(a->pixels) + y * a->pitch);
        const auto* rowB = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(b->pixels) + y * b->pitch);
        if (std::memcmp(rowA, rowB, static_cast<size_t>(a->w) * 4) == 0)
            continue;
        for (int x = 0; x < a->w; ++x) {
            SDL_Color p{}, q{};
            SDL_GetRGB(rowA[x], a->format, &p.r, &p.g, &p.b);
            SDL_GetRGB(rowB[x], b->format, &q.r, &q.g, &q.b);
            if (p.r != q.r || p.g != q.g || p.b != q.b)
                return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + "): red " + std::to_string(p.r) +
                       " from SDL_ttf, " + std::to_string(q.r) + " from GlyphText";
        }
    }
    return "";
}

}  // namespace

// At every size the game draws in: each Latin-1 character alone, every pair that SDL_ttf kerns, the
// game's texts and random Latin-1 strings have SDL_ttf's box and colours from GlyphText; every pair
// has SDL_ttf's width.
TEST(GlyphText, DrawsAndMeasuresEveryTextExactlyAsSdlTtf)
{
    TempDataDir data{{"boulder.ttf", "glyphs.bmp", "glyphs.dat"}};
    DummyScreen screen;
    std::mt19937 random(1234);
    for (const int32_t size : TextSizes) {
        TTF_Font* font = TTF_OpenFont("Data/boulder.ttf", size);
        ASSERT_NE(font, nullptr);
        const GlyphFont glyphs(size);
        auto width = [&](const std::string& text, int kerning) {
            int w = 0, h = 0;
            TTF_SetFontKerning(font, kerning);
            TTF_SizeText(font, text.c_str(), &w, &h);
            return w;
        };
        std::vector<std::string> texts = GameTexts;
        for (int first = 1; first < 256; ++first) {
            texts.emplace_back(1, static_cast<char>(first));
            for (int second = 1; second < 256; ++second) {
                const std::string pair{static_cast<char>(first), static_cast<char>(second)};
                ASSERT_EQ(glyphs.width(pair), width(pair, 1)) << "size " << size << ", \"" << shown(pair) << '"';
                if (width(pair, 0) != width(pair, 1))
                    texts.push_back(pair);
            }
        }
        for (int i = 0; i < 40; ++i) {
            std::string text(std::uniform_int_distribution<size_t>(1, 30)(random), ' ');
            for (char& c : text)
                c = static_cast<char>(std::uniform_int_distribution<int>(1, 255)(random));
            texts.push_back(text);
        }
        for (const std::string& text : texts) {
            const SurfacePtr ttf(TTF_RenderText_Shaded(font, text.c_str(), {255, 0, 0, 0}, {0, 0, 0, 0}));
            const std::string where = "size " + std::to_string(size) + ", \"" + shown(text) + '"';
            ASSERT_EQ(difference(ttf.get(), glyphs.render(text).get()), "") << where;
            ASSERT_EQ(glyphs.width(text), width(text, 1)) << where;
        }
        TTF_CloseFont(font);
    }
}

// Runs longer than a BMP run, stretches of unlike levels of odd and even length and black row ends
// come back from the sheet's file, negative numbers and kerning from the metrics file; a file cut
// short anywhere, or one with more after its end, is refused. The game's own sheets, kept as runs,
// leave most of the web build's 3 MB download to the other assets.
TEST(GlyphSheets, ImagesAndMetricsComeBackFromTheirFilesAndCutOrLongerFilesAreRefused)
{
    const auto bytes = [](const char* asset) { return std::filesystem::file_size(assetDir() / asset); };
    EXPECT_LT(bytes("glyphs.bmp") + bytes("glyphs.dat"), 1'000'000u);
    const std::vector<uint8_t (*)(int)> rows = {
        [](int) -> uint8_t { return 255; },
        [](int x) { return static_cast<uint8_t>(x * 37); },
        [](int x) -> uint8_t { return x < 299 ? 0 : 9; },
        [](int x) { return static_cast<uint8_t>(x < 5 ? x + 1 : 0); },
        [](int x) { return static_cast<uint8_t>(x / 2 % 2); },
        [](int) -> uint8_t { return 0; },
    };
    GreyImage image{300, static_cast<int32_t>(rows.size()), {}};
    for (const auto row : rows)
        for (int x = 0; x < image.width; ++x)
            image.pixels.push_back(row(x));
    GlyphSize size{35, 33, 42, {}, {{'A', 'V', -2}, {'T', 'o', -3}, {'o', 'T', 1}}};
    size.glyphs['A'] = GlyphBox{-3, 20, -1, 25, 21, 700, 1500, 23, 26};
    const std::vector<GlyphSize> sizes{size, GlyphSize{90, 84, 106, {}, {}}};

    const std::string bmp = encodeGreyBmp(image), metrics = encodeGlyphMetrics(sizes);
    GreyImage decodedImage;
    std::vector<GlyphSize> decodedSizes;
    EXPECT_TRUE(decodeGreyBmp(bmp, decodedImage) && decodedImage == image);
    EXPECT_TRUE(decodeGlyphMetrics(metrics, decodedSizes) && decodedSizes == sizes);
    for (size_t length = 0; length < bmp.size(); ++length)
        ASSERT_FALSE(decodeGreyBmp(bmp.substr(0, length), decodedImage)) << length << " bytes of the sheet";
    const std::string longer = metrics + '\0';
    for (size_t length = 0; length <= longer.size(); ++length) {
        if (length == metrics.size())
            continue;
        ASSERT_FALSE(decodeGlyphMetrics(longer.substr(0, length), decodedSizes)) << length << " bytes of metrics";
    }
}

// A missing sheet, a glyph that lies off the sheet, or a size the sheets do not hold ends the
// program with a message, as a missing font file does.
TEST(GlyphText, AMissingOrDamagedSheetOrAnUnknownSizeEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a child process of its own reads the sheets anew
    for (const auto& [damage, size, message] : {std::tuple{"no sheet", 18, "nicht laden!: Data/glyphs.bmp"},
                                                {"glyph off the sheet", 18, "nicht laden!: Data/glyphs.dat"},
                                                {"", 17, "Keine Glyphen der Groesse 17"}}) {
        TempDataDir data{{"glyphs.bmp", "glyphs.dat"}};
        std::vector<GlyphSize> sizes;
        ASSERT_TRUE(decodeGlyphMetrics(data.readFile(GlyphMetricsFile), sizes));
        sizes.back().glyphs['W'].sheetY = 32000;
        if (damage == std::string("no sheet"))
            std::filesystem::remove(GlyphSheetFile);
        if (damage == std::string("glyph off the sheet")) {
            std::filesystem::remove(GlyphMetricsFile);  // the link to the build's own file
            data.writeFile(GlyphMetricsFile, encodeGlyphMetrics(sizes));
        }
        EXPECT_EXIT(GlyphFont{size}, testing::ExitedWithCode(1), message) << damage;
    }
}
