#include <emscripten.h>

#include "system/FolderSync.h"

// Data/ is the browser's IndexedDB mounted into memory (web/klakoria-pre.js): a saved file reaches the
// storage only when the page copies the folder there, which it does after every save.
void syncFolder(const std::filesystem::path& /*folder*/) { EM_ASM(Module['persistFiles']()); }
