// A pack: its entries by name, and the OpenGL texture made from each image
// entry, shared and counted per entry. A pack read from a file keeps only
// its index at first; an entry's bytes are read when they are first asked
// for, and an image's are given back once its texture exists.
#pragma once

#include "formats/PackFormat.h"
#include "platform/Platform.h"

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class PackFile {
public:
    // An empty pack, to be filled with addEntry/addFile and written with save.
    PackFile();
    // Opens the pack. A pack that cannot be opened or is corrupt ends
    // the process with exit code 1, after the fatal line naming it. The
    // program and the tools use open() instead and decide themselves.
    explicit PackFile(const std::string& path);
    // The pack at path (never null), or why not (not naming the path).
    static Result<std::unique_ptr<PackFile>> open(const std::string& path);
    // The pack in a file already open (`path` names it in messages). Its
    // entries are read later from that same file, whatever has since been
    // put at its path: a package upgrade under a running program does not
    // change what it shows.
    static Result<std::unique_ptr<PackFile>> openFrom(std::shared_ptr<platform::RegularFile> file,
                                                      const std::string& path);
    ~PackFile();
    PackFile(const PackFile&) = delete;
    PackFile& operator=(const PackFile&) = delete;

    // Parses pack bytes held in memory; an error when they are corrupt, and
    // the pack is then left empty.
    Result<void> parse(const unsigned char* bytes, std::size_t size);

    // First entry with that exact name; null and 0 when there is none.
    EntryData entryData(const std::string& name) const;
    // The CRC-32 of the first entry with that name. Bytes not in memory are
    // read from the file a piece at a time and not kept. An error when
    // there is no such entry or it cannot be read.
    Result<std::uint32_t> entryCrc32(const std::string& name) const;

    // Shared OpenGL texture of an image entry; 0 when absent or not an image.
    // An entry that is refused as an image gets one warning
    // (platform::warn) naming the pack, the entry and the reason. Once its texture exists, an image
    // read from a file whose bytes nobody was given is dropped from memory;
    // should they be needed again, they are read again from the file.
    // An entry whose bytes cannot be read from the file is warned about
    // the same way and is absent for that request.
    GLuint acquireTexture(const std::string& name);
    void releaseTexture(GLuint texture);

    bool addEntry(const std::string& name, const void* bytes, std::uint32_t length);
    // Adds the file at `path`, named by the path (or by `name` when given).
    // Only a regular file of at most 4 GiB - 1 bytes is taken; the reason
    // otherwise.
    Result<void> addFile(const std::string& path, const std::string& name = std::string());
    // Replaces the file at path atomically.
    Result<void> save(const std::string& path) const;
    // Writes each entry to prefix + name, except those whose names would
    // lead outside the prefix's folder; see extractPackEntries.
    bool extractAll(const std::string& prefix, std::vector<std::string>* problems = nullptr) const;

    // The path it was read from; empty for a pack made in memory.
    const std::string& path() const { return sourcePath; }
    // The file it was read from, still open; null for a pack made in memory.
    std::shared_ptr<platform::RegularFile> sourceFile() const { return source; }

    // Inspection, for the tools, the statistics and the tests.
    std::size_t entryCount() const { return entries.size(); }
    const std::string& entryName(std::size_t i) const { return entries[i].stored.name; }
    EntryData entryAt(std::size_t i) const { return bytesOf(entries[i]); }
    GLuint textureIdAt(std::size_t i) const { return entries[i].textureId; }
    std::int32_t useCountAt(std::size_t i) const { return entries[i].useCount; }
    // Bytes of entries held in memory now (read and not given back).
    std::uint64_t bytesInMemory() const;

private:
    struct Entry {
        // The bytes come and go behind lookups that do not change the pack.
        mutable PackEntry stored;
        GLuint textureId = 0;           // made from this entry, 0 = none yet
        std::int32_t useCount = 0;      // texture requests not yet released
        mutable bool handedOut = false;  // someone holds a pointer to the bytes
        // The bytes are only in the file: not read yet, or given back
        // after decoding.
        mutable bool inFileOnly = false;
    };

    // The entry's bytes, read from the file when they are not in memory
    // (null and 0 when that fails); they are then handed out for good.
    EntryData bytesOf(const Entry& e) const;
    Result<void> readFromFile(const Entry& e) const;

    void take(std::vector<PackEntry>& read);
    std::vector<PackEntryView> views() const;

    std::string sourcePath;  // the file it was read from, for messages
    std::shared_ptr<platform::RegularFile> source;  // kept open: entries are read from it
    std::vector<Entry> entries;
};
