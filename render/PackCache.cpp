#include "render/PackCache.h"

#include "platform/Platform.h"

#include <cstdio>
#include <cstdlib>

void PackCache::endProcessOnOpenFailure(const std::string& path, const std::string& reason) {
    platform::showFatalError(path + ": " + reason);
    std::exit(1);
}

PackCache::PackCache() : baseDir(noBaseDir) {}

PackCache::~PackCache() = default;

void PackCache::setBaseDir(const std::string& dir) { baseDir = dir; }

PackCache::OpenPack* PackCache::lookup(const std::string& pack) {
    for (OpenPack& open : packs)
        if (open.name == pack) return &open;
    return nullptr;
}

PackFile* PackCache::openOrShare(const std::string& pack) {
    if (OpenPack* open = lookup(pack)) {
        ++open->refCount;
        return open->pack.get();
    }
    const bool noDir = baseDir.empty() || baseDir[0] == noBaseDir[0];
    const std::string path = noDir ? pack : baseDir + pack;
    const std::shared_ptr<platform::RegularFile> file = fileAt(path);
    Result<std::unique_ptr<PackFile>> opened = file ? PackFile::openFrom(file, path) : PackFile::open(path);
    if (opened && !file) files.push_back(OpenFile{path, (*opened)->sourceFile()});
    if (!opened) {
        if (onOpenFailure) onOpenFailure(path, opened.message());
        opened = std::unique_ptr<PackFile>(new PackFile);
    }
    packs.push_back(OpenPack{pack, std::move(*opened), 1});
    return packs.back().pack.get();
}

GLuint PackCache::acquireTexture(const std::string& pack, const std::string& entry) {
    return openOrShare(pack)->acquireTexture(entry);
}

EntryData PackCache::entryData(const std::string& pack, const std::string& entry) {
    return openOrShare(pack)->entryData(entry);
}

void PackCache::releaseTexture(const std::string& pack, GLuint texture) {
    for (std::size_t i = 0; i < packs.size(); ++i) {
        if (packs[i].name == pack) {
            packs[i].pack->releaseTexture(texture);
            dropReference(i);
            return;
        }
    }
}

void PackCache::release(const std::string& pack) {
    for (std::size_t i = 0; i < packs.size(); ++i) {
        if (packs[i].name == pack) {
            dropReference(i);
            return;
        }
    }
}

void PackCache::dropReference(std::size_t index) {
    if (--packs[index].refCount > 0) return;
    packs.erase(packs.begin() + static_cast<std::ptrdiff_t>(index));
}

std::shared_ptr<platform::RegularFile> PackCache::fileAt(const std::string& path) const {
    for (const OpenFile& f : files)
        if (f.path == path) return f.file;
    return nullptr;
}

std::int32_t PackCache::refCount(const std::string& pack) const {
    for (const OpenPack& open : packs)
        if (open.name == pack) return open.refCount;
    return 0;
}

PackFile* PackCache::find(const std::string& pack) const {
    for (const OpenPack& open : packs)
        if (open.name == pack) return open.pack.get();
    return nullptr;
}
