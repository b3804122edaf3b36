#pragma once
#include <string>

// True for a regular file, after following links. Whatever else stands under a file's name is
// treated as missing: opening a FIFO waits for a writer for ever, a device may never end.
bool isRegularFile(const std::string& path);
