// Whole-file and file-start reads, for every system: built on RegularFile,
// which each port supplies, so the size checks and the bounded allocation
// are the same everywhere.
#include "platform/Platform.h"

#include <new>

namespace platform {

namespace {

bool readRegular(const std::string& path, std::vector<unsigned char>* bytes, ReadFailure* failure,
                 std::uint64_t maxSize, std::uint64_t count) {
    RegularFile file;
    if (!file.open(path, failure)) return false;
    std::uint64_t size = file.size();
    if (size > maxSize) {
        if (failure) failure->reason = "larger than " + std::to_string(maxSize) + " bytes";
        return false;
    }
    if (size > count) size = count;
    if (size > SIZE_MAX / 2) {
        if (failure) failure->reason = "too large to read";
        return false;
    }
    try {
        bytes->assign(static_cast<std::size_t>(size), 0);
    } catch (const std::bad_alloc&) {
        if (failure) failure->reason = "not enough memory to read it (" + std::to_string(size) + " bytes)";
        return false;
    }
    if (file.read(bytes->data(), bytes->size(), failure)) return true;
    bytes->clear();
    return false;
}

}  // namespace

bool readRegularFile(const std::string& path, std::vector<unsigned char>* bytes, ReadFailure* failure,
                     std::uint64_t maxSize) {
    return readRegular(path, bytes, failure, maxSize, UINT64_MAX);
}

bool readRegularFileStart(const std::string& path, std::size_t count, std::vector<unsigned char>* bytes,
                          ReadFailure* failure) {
    return readRegular(path, bytes, failure, UINT64_MAX, count);
}

}  // namespace platform
