// The shared pack cache: each pack is read once, shared by name and freed
// with its last reference.
#pragma once

#include "render/PackFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class PackCache {
public:
    // What happens when a pack cannot be opened: given the path and the
    // reason, it may end the process; if it returns, the pack counts as
    // open and empty (every lookup in it fails).
    using OpenFailureHandler = void (*)(const std::string& path, const std::string& reason);
    // The design's behaviour: one line naming the pack and the reason, then
    // exit code 1.
    static void endProcessOnOpenFailure(const std::string& path, const std::string& reason);

    PackCache();
    ~PackCache();
    PackCache(const PackCache&) = delete;
    PackCache& operator=(const PackCache&) = delete;

    // The base directory's initial value. It and "" mean no directory: only
    // the first character is looked at, so any text starting with '0' means
    // none too. Any other is put directly in front of every pack name.
    static constexpr const char* noBaseDir = "0";
    void setBaseDir(const std::string& dir);
    void setOpenFailureHandler(OpenFailureHandler handler) { onOpenFailure = handler; }

    // Each counts one reference on the pack, also when nothing is found.
    GLuint acquireTexture(const std::string& pack, const std::string& entry);
    EntryData entryData(const std::string& pack, const std::string& entry);
    // Each gives one reference back; unknown packs are ignored.
    void releaseTexture(const std::string& pack, GLuint texture);
    void release(const std::string& pack);

    // Inspection, for the tests and the statistics.
    std::size_t openCount() const { return packs.size(); }
    const std::string& openName(std::size_t i) const { return packs[i].name; }
    std::int32_t refCount(const std::string& pack) const;  // 0 when not open
    PackFile* find(const std::string& pack) const;         // null when not open

private:
    struct OpenPack {
        std::string name;  // exactly as asked for, without the base directory
        std::unique_ptr<PackFile> pack;
        std::int32_t refCount = 0;
    };

    PackFile* openOrShare(const std::string& pack);
    OpenPack* lookup(const std::string& pack);
    void dropReference(std::size_t index);
    // The file a pack at that path was first read from; null before.
    std::shared_ptr<platform::RegularFile> fileAt(const std::string& path) const;

    // Every pack file read, open for the cache's life: a pack closed with its
    // last reference and opened again later is read from the same file, not
    // from what a package upgrade has put at its path since.
    struct OpenFile {
        std::string path;
        std::shared_ptr<platform::RegularFile> file;
    };

    std::string baseDir;
    std::vector<OpenPack> packs;  // in the order they were first opened
    std::vector<OpenFile> files;
    OpenFailureHandler onOpenFailure = endProcessOnOpenFailure;
};
