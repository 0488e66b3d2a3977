// The pack file layout, read and written: a signed 32-bit entry count, then
// per entry a one-byte signed name length L (0 to 127), L name bytes, a
// 32-bit data size S and S data bytes; little-endian, back to back, bytes
// after the last entry ignored. Shared by the program, pak and the artwork
// generator, so all of them read and refuse packs alike.
#pragma once

#include "platform/Platform.h"
#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Longest name the one-byte signed length field can express.
constexpr std::size_t maxEntryNameLength = 127;

// An entry's bytes: owned by whoever read the pack, valid while it lives.
struct EntryData {
    const unsigned char* data = nullptr;
    std::uint32_t size = 0;
};

// One entry as read: its name, its bytes (exactly `size` of them; never
// null, also when empty, unless they were not read) and where they lie in
// the file.
struct PackEntry {
    std::string name;
    std::unique_ptr<unsigned char[]> bytes;
    std::uint32_t size = 0;
    std::uint64_t offset = 0;

    EntryData data() const { return EntryData{bytes.get(), size}; }
};

// Bytes handed over in order, from memory or from a file of known size
// (read at the offsets asked for).
class ByteSource {
public:
    ByteSource(const unsigned char* bytes, std::size_t size);
    ByteSource(std::uint64_t size, std::function<bool(std::uint64_t offset, void* into, std::size_t count)> read);
    // Exactly `count` bytes; false past the end or when the reading fails.
    bool read(void* into, std::size_t count);
    // Passes over `count` bytes without reading them; false past the end.
    bool skip(std::uint64_t count);
    std::uint64_t remaining() const { return total - position; }
    std::uint64_t offset() const { return position; }

private:
    const unsigned char* memory = nullptr;
    std::function<bool(std::uint64_t, void*, std::size_t)> reader;
    std::uint64_t total = 0;
    std::uint64_t position = 0;
};

// Whether reading a pack reads the entries' bytes or only where they lie.
enum class EntryBytes { Read, Skip };

// Reads every entry; with EntryBytes::Skip their bytes stay null and only
// their sizes and offsets are known. No size field buys more memory than
// the source has bytes left. An error saying why for a corrupt pack.
Result<std::vector<PackEntry>> readPackEntries(ByteSource& source, EntryBytes bytes = EntryBytes::Read);

// Reads the pack file at path (a regular file only). An error (not naming
// the path) when it cannot be opened, read or parsed: "cannot open the
// pack: ...", "cannot read the pack: ...", "corrupt pack file: ..." or,
// when an entry does not fit in memory, "out of memory: ...".
Result<std::vector<PackEntry>> readPackFile(const std::string& path);
// The same for a pack file already open, read from its start; with
// EntryBytes::Skip only its entries' names, sizes and offsets (the checks
// are the same).
Result<std::vector<PackEntry>> readPackFrom(platform::RegularFile& file, EntryBytes bytes = EntryBytes::Read);

struct PackEntryView {
    const std::string* name;
    EntryData data;
};
// The pack's bytes; an error when a name is longer than maxEntryNameLength
// or there are too many entries.
Result<std::vector<unsigned char>> encodePack(const std::vector<PackEntryView>& entries);

// Encodes the entries and replaces the file at path atomically.
Result<void> writePackFile(const std::string& path, const std::vector<PackEntryView>& entries);

// Writes each entry to the file prefix + name (nothing put between them).
// Entries whose names would lead outside the prefix's folder (see
// isSafeEntryPath) are not written; they and entries that cannot be written
// are described in *problems, one line each, and the rest are still
// written. True when all were.
bool extractPackEntries(const std::vector<PackEntryView>& entries, const std::string& prefix,
                        std::vector<std::string>* problems);
