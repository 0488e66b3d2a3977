#include "render/PackFile.h"

#include "formats/EntryName.h"
#include "platform/Platform.h"
#include "render/TextureFromImage.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

PackFile::PackFile() = default;

PackFile::PackFile(const std::string& path) {
    std::string error;
    if (!load(path, &error)) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
        std::exit(1);
    }
}

std::unique_ptr<PackFile> PackFile::open(const std::string& path, std::string* error) {
    std::unique_ptr<PackFile> pack(new PackFile);
    if (!pack->load(path, error)) return nullptr;
    return pack;
}

PackFile::~PackFile() = default;

bool PackFile::load(const std::string& path, std::string* error) {
    sourcePath = path;
    std::vector<PackEntry> read;
    if (!readPackFile(path, &read, error)) return false;
    take(read);
    return true;
}

void PackFile::take(std::vector<PackEntry>& read) {
    entries.clear();
    entries.reserve(read.size());
    for (PackEntry& e : read) entries.push_back(Entry{std::move(e)});
}

bool PackFile::parse(const unsigned char* bytes, std::size_t size, std::string* error) {
    ByteSource source(bytes, size);
    std::vector<PackEntry> read;
    const bool ok = readPackEntries(source, &read, error);
    take(read);
    return ok;
}

EntryData PackFile::entryData(const std::string& name) const {
    for (const Entry& e : entries)
        if (e.stored.name == name) return bytesOf(e);
    return EntryData{};
}

EntryData PackFile::bytesOf(const Entry& e) const {
    std::string error;
    if (e.dropped && !reload(e, &error)) {
        std::fprintf(stderr, "%s: %s: %s\n", sourcePath.c_str(), escapeEntryName(e.stored.name).c_str(), error.c_str());
        return EntryData{};
    }
    e.handedOut = true;
    return e.stored.data();
}

bool PackFile::reload(const Entry& e, std::string* error) const {
    // The file may have been replaced meanwhile: only the same size is
    // taken, and the bytes still go through every check before use.
    platform::RegularFile file;
    platform::ReadFailure failure;
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[e.stored.size]);
    if (!file.open(sourcePath, &failure) || !file.readAt(e.stored.offset, bytes.get(), e.stored.size, &failure)) {
        *error = "cannot read the entry again: " + failure.reason;
        return false;
    }
    e.stored.bytes = std::move(bytes);
    e.dropped = false;
    return true;
}

GLuint PackFile::acquireTexture(const std::string& name) {
    for (Entry& e : entries) {
        if (e.stored.name != name) continue;
        if (e.textureId == 0) {
            std::string reason;
            if (e.dropped && !reload(e, &reason)) {
                std::fprintf(stderr, "%s: %s: %s\n", sourcePath.c_str(), escapeEntryName(name).c_str(), reason.c_str());
            } else {
                e.textureId = textureFromImage(e.stored.bytes.get(), e.stored.size, &reason);
                if (e.textureId == 0)
                    std::fprintf(stderr, "%s: %s: not used as an image: %s\n",
                                 sourcePath.empty() ? "(pack in memory)" : sourcePath.c_str(),
                                 escapeEntryName(name).c_str(), reason.c_str());
            }
            // The texture holds the picture now; the compressed bytes are
            // only kept where a pointer to them was given out, or where
            // they could not be read again.
            if (e.textureId != 0 && !e.handedOut && !sourcePath.empty()) {
                e.stored.bytes.reset();
                e.dropped = true;
            }
        }
        ++e.useCount;
        return e.textureId;
    }
    return 0;
}

void PackFile::releaseTexture(GLuint texture) {
    if (texture == 0) return;
    for (Entry& e : entries) {
        if (e.textureId != texture) continue;
        if (--e.useCount == 0) {
            glDeleteTextures(1, &e.textureId);
            e.textureId = 0;
        }
    }
}

bool PackFile::addEntry(const std::string& name, const void* bytes, std::uint32_t length) {
    if (length && !bytes) return false;
    Entry e;
    e.stored.name = name;
    e.stored.size = length;
    e.stored.bytes.reset(new unsigned char[length]);
    if (length) std::memcpy(e.stored.bytes.get(), bytes, length);
    entries.push_back(std::move(e));
    return true;
}

bool PackFile::addFile(const std::string& path, const std::string& name, std::string* error) {
    std::vector<unsigned char> bytes;
    platform::ReadFailure failure;
    // An entry's size field has 32 bits.
    if (!platform::readRegularFile(path, &bytes, &failure, 0xFFFFFFFFu)) {
        if (error) *error = failure.reason;
        return false;
    }
    return addEntry(name.empty() ? path : name, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

std::vector<PackEntryView> PackFile::views() const {
    std::vector<PackEntryView> out;
    out.reserve(entries.size());
    for (const Entry& e : entries) out.push_back(PackEntryView{&e.stored.name, bytesOf(e)});
    return out;
}

bool PackFile::save(const std::string& path, std::string* error) const { return writePackFile(path, views(), error); }

bool PackFile::extractAll(const std::string& prefix, std::vector<std::string>* problems) const {
    return extractPackEntries(views(), prefix, problems);
}
