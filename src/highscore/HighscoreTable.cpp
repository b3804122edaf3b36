#include "highscore/HighscoreTable.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "system/Files.h"

namespace {

[[noreturn]] void failToAllocate()
{
    std::fprintf(stdout, "\nKonnte keine Liste erzeugen!\nSpeicherallocation nicht m\xF6glich\n");
    std::fflush(stdout);
    std::exit(1);
}

// Only a regular file (or a link to one) is read as a list: a FIFO would block the game until
// someone writes to it, and a device such as /dev/zero would keep it reading for ever.
bool isNoList(const std::string& path)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    return std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
}

bool opens(const std::string& path, int flags)
{
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// Replacing the file would replace anything under the list's name, so it is kept from replacing
// what the list must leave alone: a list the player has made read-only, and one that could not
// be read (its rows were shown as default rows; writing those would lose the real ones), which
// includes everything that is not a regular file. Opening for appending asks the same question
// as writing would, without truncating anything.
bool mustBeLeftAlone(const std::string& path)
{
    if (isNoList(path))
        return true;
    if (!opens(path, O_RDONLY))
        return errno != ENOENT;
    return !opens(path, O_WRONLY | O_APPEND);
}

}  // namespace

HighscoreTable::HighscoreTable(std::string title, std::string fileName, int32_t capacity)
try : HighscoreRows(std::move(title), capacity), file(std::move(fileName)) {
    load();
} catch (const std::bad_alloc&) {
    failToAllocate();
} catch (const std::length_error&) {  // a negative count, as new[] would refuse it
    failToAllocate();
}

HighscoreTable::~HighscoreTable() { save(); }

void HighscoreTable::load()
{
    std::ifstream in;
    if (!isNoList(file))
        in.open(file, std::ios::binary);
    if (in.is_open())
        readFrom(in);
}

// A list left alone loses the rows that changed as surely as a failed write, so both are told.
void HighscoreTable::save() const
{
    std::ostringstream content;
    writeTo(content);
    if (mustBeLeftAlone(file) || !replaceFile(file, content.str()))
        std::fprintf(stderr, "Konnte %s nicht speichern.\n", file.c_str());
}
