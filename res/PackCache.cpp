#include "res/PackCache.h"

PackCache::PackCache() : baseDir("0") {}

PackCache::~PackCache() {
    for (PackFile* pack : packs) delete pack;
}

void PackCache::setBaseDir(const std::string& dir) { baseDir = dir; }

PackFile* PackCache::openOrShare(const std::string& pack) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == pack) {
            ++refCounts[i];
            return packs[i];
        }
    }
    // Only the first character is tested: "0" and "" both mean no directory.
    const bool noDir = baseDir.empty() || baseDir[0] == '0';
    PackFile* opened = new PackFile(noDir ? pack : baseDir + pack);
    packs.push_back(opened);
    names.push_back(pack);
    refCounts.push_back(1);
    return opened;
}

GLuint PackCache::acquireTexture(const std::string& pack, const std::string& entry) {
    return openOrShare(pack)->acquireTexture(entry);
}

EntryData PackCache::entryData(const std::string& pack, const std::string& entry) {
    return openOrShare(pack)->entryData(entry);
}

void PackCache::releaseTexture(const std::string& pack, GLuint texture) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == pack) {
            packs[i]->releaseTexture(texture);
            dropReference(i);
            return;
        }
    }
}

void PackCache::release(const std::string& pack) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == pack) {
            dropReference(i);
            return;
        }
    }
}

void PackCache::dropReference(std::size_t index) {
    if (--refCounts[index] > 0) return;
    delete packs[index];
    packs.erase(packs.begin() + static_cast<std::ptrdiff_t>(index));
    names.erase(names.begin() + static_cast<std::ptrdiff_t>(index));
    refCounts.erase(refCounts.begin() + static_cast<std::ptrdiff_t>(index));
}

std::int32_t PackCache::refCount(const std::string& pack) const {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == pack) return refCounts[i];
    return 0;
}

PackFile* PackCache::find(const std::string& pack) const {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == pack) return packs[i];
    return nullptr;
}
