// The shared pack cache: each pack is read once, shared by name and freed
// with its last reference.
#pragma once

#include "res/PackFile.h"

#include <cstdint>
#include <string>
#include <vector>

class PackCache {
public:
    PackCache();
    ~PackCache();
    PackCache(const PackCache&) = delete;
    PackCache& operator=(const PackCache&) = delete;

    // "0" (the initial value) and "" mean no directory; otherwise it is put
    // directly in front of every pack name.
    void setBaseDir(const std::string& dir);

    // Each counts one reference on the pack, also when nothing is found.
    GLuint acquireTexture(const std::string& pack, const std::string& entry);
    EntryData entryData(const std::string& pack, const std::string& entry);
    // Each gives one reference back; unknown packs are ignored.
    void releaseTexture(const std::string& pack, GLuint texture);
    void release(const std::string& pack);

    // Inspection, for the tests and the soak run.
    std::size_t openCount() const { return packs.size(); }
    const std::string& openName(std::size_t i) const { return names[i]; }
    std::int32_t refCount(const std::string& pack) const;  // 0 when not open
    PackFile* find(const std::string& pack) const;         // null when not open

private:
    PackFile* openOrShare(const std::string& pack);
    void dropReference(std::size_t index);

    std::string baseDir;
    std::vector<PackFile*> packs;
    std::vector<std::string> names;
    std::vector<std::int32_t> refCounts;
};
