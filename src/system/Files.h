#pragma once
#include <functional>
#include <string>

// True for a regular file, after following links. Whatever else stands under a file's name is
// treated as missing: opening a FIFO waits for a writer for ever, a device may never end.
bool isRegularFile(const std::string& path);

// Replaces the file at path by content, whole or not at all: the content is written beside it,
// flushed to the disk and renamed over it, so a full disk, a crash or a missing permission never
// leaves half a file. A link under the name is replaced itself, never written through; the mode
// of the old file is kept. Removes what saves of processes that no longer run left behind.
// Returns whether the content reached the disk under path (false: the old file is untouched).
bool replaceFile(const std::string& path, const std::string& content);

// The moments of a replacement, in order, for tests that stop a save at each of them: the new
// content's file made, half of it written, all of it written, flushed and closed, renamed over
// the old file.
enum class SaveStep { Opened, HalfWritten, Written, Closed, Renamed };
using SaveStepObserver = std::function<void(SaveStep)>;
void setSaveStepObserver(SaveStepObserver observer);  // an empty function removes it
