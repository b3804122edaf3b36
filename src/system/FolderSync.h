#pragma once
#include <filesystem>

// Makes what was just renamed within a folder last: the last step of replaceFile (Files.h). On the
// desktop the folder is flushed to the disk (FolderSync.cpp); in the browser the folder lives in
// memory and is copied to the browser's persistent storage (FolderSyncWeb.cpp).
void syncFolder(const std::filesystem::path& folder);
