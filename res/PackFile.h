// A pack: a flat archive of named byte blobs, read whole into memory.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// An entry's bytes: owned by the PackFile, valid until it is destroyed.
struct EntryData {
    const unsigned char* data = nullptr;
    std::uint32_t size = 0;
};

class PackFile {
public:
    // An empty pack, to be filled with addEntry/addFile and written with save.
    PackFile();
    // Reads the whole pack. A pack that cannot be opened or is corrupt ends
    // the process with exit code 1, after a line on stderr naming it.
    explicit PackFile(const std::string& path);
    ~PackFile();
    PackFile(const PackFile&) = delete;
    PackFile& operator=(const PackFile&) = delete;

    // Parses pack bytes held in memory. False (with a reason) when they are
    // corrupt; the pack is then left empty.
    bool parse(const unsigned char* bytes, std::size_t size, std::string* error);

    // First entry with that exact name; null and 0 when there is none.
    EntryData entryData(const std::string& name) const;

    // Shared OpenGL texture of an image entry; 0 when absent or not an image.
    // An entry that is refused as an image gets one line on stderr naming
    // the pack, the entry and the reason.
    GLuint acquireTexture(const std::string& name);
    void releaseTexture(GLuint texture);

    bool addEntry(const std::string& name, const void* bytes, std::uint32_t length);
    // Adds the file at `path`, named by the path (or by `name` when given).
    // Only a regular file of at most 4 GiB - 1 bytes is taken; false with
    // the reason in *error otherwise.
    bool addFile(const std::string& path, const std::string& name = std::string(), std::string* error = nullptr);
    // Replaces the file at path atomically; false with the reason in *error.
    bool save(const std::string& path, std::string* error = nullptr) const;
    // Writes each entry to prefix + name. Entries whose names would lead
    // outside the prefix's folder (see isSafeEntryPath) are not written;
    // they and entries that cannot be written are described in *problems,
    // one line each, and the rest are still written. True when all were.
    bool extractAll(const std::string& prefix, std::vector<std::string>* problems = nullptr) const;

    // Inspection, for the pack tool and the tests.
    std::size_t entryCount() const { return names.size(); }
    const std::string& entryName(std::size_t i) const { return names[i]; }
    EntryData entryAt(std::size_t i) const { return entries[i]; }
    GLuint textureIdAt(std::size_t i) const { return textureIds[i]; }
    std::int32_t useCountAt(std::size_t i) const { return useCounts[i]; }

private:
    void clear();

    std::string sourcePath;  // the file it was read from, for messages
    std::vector<GLuint> textureIds;
    std::vector<std::int32_t> useCounts;
    std::vector<EntryData> entries;
    std::vector<std::string> names;
};
