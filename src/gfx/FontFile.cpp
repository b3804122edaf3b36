#include "gfx/FontFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

constexpr long BlockSize = 4096;
constexpr size_t KeptBlocks = 16;  // 64 KiB: what opening a size and the glyphs of a screen read

// The file the kept blocks come from. A file written again gets another size or time.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long modifiedSeconds = 0;
    long modifiedNanoseconds = 0;

    bool operator==(const FileIdentity&) const = default;
};

// All members start as zero bits, so that the kept blocks cost no memory until they are used.
struct Block {
    bool filled = false;
    long start = 0;
    long length = 0;
    uint64_t lastUse = 0;
    std::array<char, BlockSize> bytes;
};

struct KeptBlocksOfOneFile {
    FileIdentity file;
    std::array<Block, KeptBlocks> blocks;
    uint64_t uses = 0;
};

// Blocks are kept only while a stream is open: a file written again in place could otherwise
// look the same as the one they came from, when its size and time happen to match.
KeptBlocksOfOneFile kept;
int openStreams = 0;

struct Stream {
    int descriptor = -1;
    FileIdentity file;
    long position = 0;
};

FileIdentity identityOf(const struct stat& status)
{
    return FileIdentity{status.st_dev, status.st_ino, status.st_size, status.st_mtim.tv_sec, status.st_mtim.tv_nsec};
}

// The block that starts at start, read from the stream's file unless it is kept; null when the
// file cannot be read there.
const Block* blockAt(const Stream& stream, long start)
{
    if (!(kept.file == stream.file)) {
        kept.file = stream.file;
        for (Block& block : kept.blocks)
            block.filled = false;
    }
    Block* oldest = &kept.blocks[0];
    for (Block& block : kept.blocks) {
        if (block.filled && block.start == start) {
            block.lastUse = ++kept.uses;
            return &block;
        }
        if (block.lastUse < oldest->lastUse)
            oldest = &block;
    }
    const ssize_t length = pread(stream.descriptor, oldest->bytes.data(), BlockSize, start);
    if (length < 0) {
        oldest->filled = false;
        return nullptr;
    }
    oldest->filled = true;
    oldest->start = start;
    oldest->length = length;
    oldest->lastUse = ++kept.uses;
    return oldest;
}

Stream& streamOf(SDL_RWops* context) { return *static_cast<Stream*>(context->hidden.unknown.data1); }

int seekStream(SDL_RWops* context, int offset, int whence)
{
    Stream& stream = streamOf(context);
    const long origin = whence == RW_SEEK_SET ? 0 : whence == RW_SEEK_CUR ? stream.position : stream.file.size;
    if (origin + offset < 0) {
        SDL_SetError("Seek before the start of the font file");
        return -1;
    }
    stream.position = origin + offset;
    return static_cast<int>(stream.position);
}

int readStream(SDL_RWops* context, void* target, int size, int count)
{
    Stream& stream = streamOf(context);
    if (size <= 0 || count <= 0)
        return 0;
    const long wanted = static_cast<long>(size) * count;
    long copied = 0;
    while (copied < wanted && stream.position < stream.file.size) {
        const long start = stream.position / BlockSize * BlockSize;
        const Block* block = blockAt(stream, start);
        const long offset = stream.position - start;
        if (!block || offset >= block->length)
            break;
        const long piece = std::min(wanted - copied, block->length - offset);
        std::memcpy(static_cast<char*>(target) + copied, block->bytes.data() + offset, piece);
        copied += piece;
        stream.position += piece;
    }
    return static_cast<int>(copied / size);
}

int writeStream(SDL_RWops*, const void*, int, int)
{
    SDL_SetError("The font file is read only");
    return -1;
}

int closeStream(SDL_RWops* context)
{
    Stream* stream = &streamOf(context);
    close(stream->descriptor);
    delete stream;
    SDL_FreeRW(context);
    if (--openStreams == 0)
        for (Block& block : kept.blocks)
            block.filled = false;
    return 0;
}

}  // namespace

SDL_RWops* openFontFile(const char* fileName)
{
    // Not blocking: a FIFO under the font's name is left to the caller, as is anything that is
    // not a plain file.
    const int descriptor = open(fileName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    struct stat status;
    SDL_RWops* context = nullptr;
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || !(context = SDL_AllocRW())) {
        close(descriptor);
        return nullptr;
    }
    context->seek = seekStream;
    context->read = readStream;
    context->write = writeStream;
    context->close = closeStream;
    context->hidden.unknown.data1 = new Stream{descriptor, identityOf(status), 0};
    ++openStreams;
    return context;
}
