#include "system/FolderSync.h"

#include <fcntl.h>
#include <unistd.h>

// The rename is on the disk only once the folder is; a folder that cannot be opened or flushed
// (some file systems refuse fsync on folders) still holds the renamed file.
void syncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
