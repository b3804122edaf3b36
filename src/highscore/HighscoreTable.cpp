#include "highscore/HighscoreTable.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
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

namespace {

[[noreturn]] void failToAllocate()
{
    std::fprintf(stdout, "\nKonnte keine Liste erzeugen!\nSpeicherallocation nicht m\xF6glich\n");
    std::fflush(stdout);
    std::exit(1);
}

bool writeAll(int fd, const std::string& bytes)
{
    const char* next = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
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

// The rename below would replace anything under the list's name, so it is kept from replacing
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

std::filesystem::path folderOf(const std::string& path)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

std::string temporaryName(const std::string& path, pid_t pid) { return path + ".tmp-" + std::to_string(pid); }

void syncDirectoryOf(const std::string& path)
{
    const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A save killed halfway leaves its temporary file behind. Those of processes that no longer
// run are removed; one of a running game may be a save in progress and stays.
void removeStaleTemporaries(const std::string& path)
{
    const std::string prefix = std::filesystem::path(path).filename().string() + ".tmp-";
    std::error_code error;
    std::filesystem::directory_iterator entry(folderOf(path), error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.size() <= prefix.size() || name.size() > prefix.size() + 9 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string digits = name.substr(prefix.size());
        if (digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const pid_t pid = static_cast<pid_t>(std::stol(digits));
        if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH)
            ::unlink(temporaryName(path, pid).c_str());
    }
}

// Writes the new content beside the old file and renames it over it only once it is complete
// on disk, so a full disk, a crash or a missing permission never leaves half a list behind.
// A link under the list's name is replaced by the list, never written through: it could point
// at any file of the player's.
void replaceFile(const std::string& path, const std::string& content)
{
    removeStaleTemporaries(path);
    const std::string temporary = temporaryName(path, ::getpid());
    ::unlink(temporary.c_str());  // left behind by a crashed run that had the same pid
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    bool complete = writeAll(fd, content) && ::fsync(fd) == 0;
    complete = ::close(fd) == 0 && complete;
    if (complete && ::rename(temporary.c_str(), path.c_str()) == 0) {
        syncDirectoryOf(path);
        return;
    }
    ::unlink(temporary.c_str());
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

void HighscoreTable::save() const
{
    if (mustBeLeftAlone(file))
        return;
    std::ostringstream content;
    writeTo(content);
    replaceFile(file, content.str());
}
