// The font file stream that SDL_ttf reads through keeps blocks of the file for every open size.
// Whatever FreeType asks for, it must get the bytes the file holds.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <random>
#include <string>

#include "TestSupport.h"
#include "gfx/FontFile.h"

using namespace testing_support;

namespace {

std::string randomBytes(size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

// What the stream returns for count bytes from offset.
std::string piece(SDL_RWops* stream, int offset, int count)
{
    if (SDL_RWseek(stream, offset, RW_SEEK_SET) != offset)
        return "seek failed";
    std::string bytes(count, '\0');
    const int read = SDL_RWread(stream, bytes.data(), 1, count);
    bytes.resize(read < 0 ? 0 : read);
    return bytes;
}

}  // namespace

TEST(FontFile, EveryPieceHoldsTheFileBytesWhereverItLies)
{
    TempDataDir data{std::vector<std::string>{}};
    const std::string file = randomBytes(3 * 4096 + 123, 7);
    data.writeFile("Data/font.ttf", file);
    SDL_RWops* stream = openFontFile("Data/font.ttf");
    ASSERT_NE(stream, nullptr);
    const int size = static_cast<int>(file.size());
    const struct {
        const char* name;
        int offset;
        int count;
    } pieces[] = {
        {"inside the first block", 17, 40},       {"across two blocks", 4090, 20},
        {"one whole block", 4096, 4096},           {"across three blocks", 100, 9000},
        {"back in the first block", 0, 10},        {"the whole file", 0, size},
        {"the end, asked for more", size - 5, 10}, {"past the end", size, 10},
    };
    for (const auto& p : pieces)
        EXPECT_EQ(piece(stream, p.offset, p.count), p.offset >= size ? "" : file.substr(p.offset, p.count)) << p.name;
    EXPECT_EQ(SDL_RWseek(stream, 0, RW_SEEK_END), size);
    EXPECT_EQ(SDL_RWseek(stream, -23, RW_SEEK_CUR), size - 23);
    EXPECT_EQ(SDL_RWseek(stream, -1, RW_SEEK_SET), -1);
    SDL_RWclose(stream);
}

// Written in place once every stream is closed (same inode, same size), or replaced by another
// file while a stream on the old one is still open.
TEST(FontFile, AFileWrittenAgainUnderTheNameIsReadAfresh)
{
    TempDataDir data{std::vector<std::string>{}};
    const std::string first = randomBytes(6000, 1);
    const std::string second = randomBytes(6000, 2);
    const std::string third = randomBytes(6000, 3);
    data.writeFile("Data/font.ttf", first);
    SDL_RWops* stream = openFontFile("Data/font.ttf");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(piece(stream, 0, 6000), first);
    SDL_RWclose(stream);
    data.writeFile("Data/font.ttf", second);
    stream = openFontFile("Data/font.ttf");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(piece(stream, 0, 6000), second);

    data.writeFile("Data/new.ttf", third);
    std::filesystem::rename(data.data() / "new.ttf", data.data() / "font.ttf");
    SDL_RWops* newer = openFontFile("Data/font.ttf");
    ASSERT_NE(newer, nullptr);
    EXPECT_EQ(piece(newer, 0, 6000), third);
    EXPECT_EQ(piece(stream, 0, 6000), second);
    SDL_RWclose(newer);
    SDL_RWclose(stream);
}

TEST(FontFile, OnlyARegularFileIsOpened)
{
    TempDataDir data{std::vector<std::string>{}};
    std::filesystem::create_directory(data.data() / "folder.ttf");
    ASSERT_EQ(mkfifo((data.data() / "fifo.ttf").c_str(), 0600), 0);
    for (const char* name : {"Data/missing.ttf", "Data/folder.ttf", "Data/fifo.ttf"})
        EXPECT_EQ(openFontFile(name), nullptr) << name;
}
