#include "system/Files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <utility>

#include "system/FolderSync.h"

namespace {

SaveStepObserver saveStepObserver;

// Always true, so that it can stand in a chain of steps that each must succeed.
bool reached(SaveStep step)
{
    if (saveStepObserver)
        saveStepObserver(step);
    return true;
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

std::filesystem::path folderOf(const std::string& path)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

std::string temporaryName(const std::string& path, pid_t pid) { return path + ".tmp-" + std::to_string(pid); }

// A save killed halfway leaves its temporary file behind. Those of processes that no longer
// run are removed; one of a running process may be a save in progress and stays.
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

}  // namespace

void setSaveStepObserver(SaveStepObserver observer) { saveStepObserver = std::move(observer); }

bool isRegularFile(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool replaceFile(const std::string& path, const std::string& content)
{
    removeStaleTemporaries(path);
    const std::string temporary = temporaryName(path, ::getpid());
    ::unlink(temporary.c_str());  // left behind by a crashed run that had the same pid
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    const std::string firstHalf = content.substr(0, content.size() / 2);
    bool complete = reached(SaveStep::Opened) && writeAll(fd, firstHalf) && reached(SaveStep::HalfWritten) &&
                    writeAll(fd, content.substr(firstHalf.size())) && reached(SaveStep::Written) && ::fsync(fd) == 0;
    complete = ::close(fd) == 0 && complete;
    if (complete && reached(SaveStep::Closed) && ::rename(temporary.c_str(), path.c_str()) == 0) {
        reached(SaveStep::Renamed);
        syncFolder(folderOf(path));
        return true;
    }
    ::unlink(temporary.c_str());
    return false;
}
