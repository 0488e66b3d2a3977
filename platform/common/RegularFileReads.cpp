// Whole-file and file-start reads, for every system: built on RegularFile,
// which each port supplies, so the size checks and the bounded allocation
// are the same everywhere.
#include "platform/Platform.h"

#include <new>

namespace platform {

namespace {

Result<std::vector<unsigned char>> readRegular(const std::string& path, std::uint64_t maxSize, std::uint64_t count) {
    RegularFile file;
    if (Result<void> opened = file.open(path); !opened) return opened.error();
    std::uint64_t size = file.size();
    if (size > maxSize) return failure("larger than " + std::to_string(maxSize) + " bytes");
    if (size > count) size = count;
    if (size > SIZE_MAX / 2) return failure("too large to read", ErrorKind::OutOfMemory);
    std::vector<unsigned char> bytes;
    try {
        bytes.assign(static_cast<std::size_t>(size), 0);
    } catch (const std::bad_alloc&) {
        return failure("out of memory reading it (" + std::to_string(size) + " bytes)", ErrorKind::OutOfMemory);
    }
    if (Result<void> read = file.read(bytes.data(), bytes.size()); !read) return read.error();
    return bytes;
}

}  // namespace

Result<std::vector<unsigned char>> readRegularFile(const std::string& path, std::uint64_t maxSize) {
    return readRegular(path, maxSize, UINT64_MAX);
}

Result<std::vector<unsigned char>> readRegularFileStart(const std::string& path, std::size_t count) {
    return readRegular(path, UINT64_MAX, count);
}

}  // namespace platform
