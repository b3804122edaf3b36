// The real program started in a prepared working directory, for the failures that end it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace testing_support;
using testing::EndsWith;
using testing::HasSubstr;
using testing::MatchesRegex;

namespace {

// These runs end with exit() on purpose; what is still allocated then is not lost.
ProcessResult runGame(const TempDataDir& dir, std::map<std::string, std::string> env = {})
{
    env["ASAN_OPTIONS"] = "detect_leaks=0";
    return runProcess({gameBinary()}, dir.path(), env, 120);
}

// The last line of standard error; the music message has no line break and may stand before it.
std::string lastLine(const std::string& err)
{
    const auto end = err.size() > 0 && err.back() == '\n' ? err.size() - 1 : err.size();
    const auto start = err.rfind('\n', end == 0 ? 0 : end - 1);
    return err.substr(start == std::string::npos ? 0 : start + 1);
}

SDL_Color blackPixels(int, int) { return SDL_Color{0, 0, 0, 0}; }

}  // namespace

TEST(StartupFailure, WithoutTheFontTheFirstFrameEndsTheProgram)
{
    TempDataDir dir{{"tileset.bmp", "Musik.wav", "icon.bmp"}};
    const ProcessResult result = runGame(dir);
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(lastLine(result.err), MatchesRegex("Konnte Font-File nicht laden!: .+\n"));
}

TEST(StartupFailure, AMissingIconIsSilentAndTheMusicMessageKeepsItsLine)
{
    TempDataDir dir{{"tileset.bmp"}};
    const ProcessResult result = runGame(dir);
    EXPECT_EQ(result.status, 1);
    // Nothing about the icon: only the music's complaint, then the font's message.
    EXPECT_THAT(result.err, MatchesRegex("Keine Audio-Datei ge\xF6" "ffnet!Konnte Font-File nicht laden!: [^\n]+\n"));
}

TEST(StartupFailure, AnUnusableTilesetEndsTheProgramWithOneMessage)
{
    struct Case {
        const char* name;
        int width;  // 0: no file at all
        int height;
    };
    const Case cases[] = {
        {"missing", 0, 0},
        {"one row too short", 64, 671},
        {"one column too wide", 65, 672},
        {"half as wide", 32, 672},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDataDir dir{{"boulder.ttf", "Musik.wav", "icon.bmp"}};
        if (c.width > 0)
            writeBmp(dir.data() / "tileset.bmp", c.width, c.height, blackPixels);
        const ProcessResult result = runGame(dir);
        EXPECT_EQ(result.status, 1);
        EXPECT_THAT(result.err, EndsWith("Konnte Data/tileset.bmp nicht laden.\n"));
        EXPECT_EQ(lastLine(result.err), "Konnte Data/tileset.bmp nicht laden.\n");
    }
}

TEST(StartupFailure, AnUnreadableTilesetFileIsRefusedLikeAMissingOne)
{
    TempDataDir dir{{"boulder.ttf", "Musik.wav"}};
    dir.writeFile("Data/tileset.bmp", "BM this is no bitmap");
    const ProcessResult result = runGame(dir);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(lastLine(result.err), "Konnte Data/tileset.bmp nicht laden.\n");
}

TEST(StartupFailure, SdlThatCannotStartEndsTheProgramWithItsReason)
{
    TempDataDir dir;
    const ProcessResult result = runGame(dir, {{"SDL_VIDEODRIVER", "no-such-driver"}});
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, MatchesRegex("SDL konnte nicht initialisiert werden: .+\n"));
}
