#include "render/PackFile.h"

#include "formats/Crc32.h"
#include "formats/EntryName.h"
#include "platform/Platform.h"
#include "render/TextureFromImage.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

PackFile::PackFile() = default;

PackFile::PackFile(const std::string& path) {
    Result<std::unique_ptr<PackFile>> opened = open(path);
    if (!opened) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), opened.message().c_str());
        std::exit(1);
    }
    sourcePath = path;
    source = std::move((*opened)->source);
    entries = std::move((*opened)->entries);
}

Result<std::unique_ptr<PackFile>> PackFile::open(const std::string& path) {
    auto file = std::make_shared<platform::RegularFile>();
    if (Result<void> opened = file->open(path); !opened)
        return failure("cannot open the pack: " + opened.message(), opened.error().kind);
    return openFrom(std::move(file), path);
}

Result<std::unique_ptr<PackFile>> PackFile::openFrom(std::shared_ptr<platform::RegularFile> file,
                                                     const std::string& path) {
    // Only the index: entries are read when asked for, and images that
    // become textures need not be held at all.
    Result<std::vector<PackEntry>> read = readPackFrom(*file, EntryBytes::Skip);
    if (!read) return read.error();
    std::unique_ptr<PackFile> pack(new PackFile);
    pack->sourcePath = path;
    pack->source = std::move(file);
    pack->take(*read);
    return pack;
}

PackFile::~PackFile() = default;

void PackFile::take(std::vector<PackEntry>& read) {
    entries.clear();
    entries.reserve(read.size());
    for (PackEntry& e : read) {
        const bool unread = !e.bytes;
        entries.push_back(Entry{std::move(e)});
        entries.back().inFileOnly = unread;
    }
}

Result<void> PackFile::parse(const unsigned char* bytes, std::size_t size) {
    ByteSource source(bytes, size);
    Result<std::vector<PackEntry>> read = readPackEntries(source);
    std::vector<PackEntry> none;
    take(read ? *read : none);
    if (!read) return read.error();
    return success();
}

EntryData PackFile::entryData(const std::string& name) const {
    for (const Entry& e : entries)
        if (e.stored.name == name) return bytesOf(e);
    return EntryData{};
}

Result<std::uint32_t> PackFile::entryCrc32(const std::string& name) const {
    for (const Entry& e : entries) {
        if (e.stored.name != name) continue;
        if (!e.inFileOnly) return crc32(e.stored.bytes.get(), e.stored.size);
        if (!source) return failure("cannot read the entry: the pack is not open");
        std::vector<unsigned char> piece(64 * 1024);
        std::uint32_t crc = 0;
        for (std::uint32_t done = 0; done < e.stored.size;) {
            const std::size_t n = std::min<std::size_t>(piece.size(), e.stored.size - done);
            const Result<void> read = source->readAt(e.stored.offset + done, piece.data(), n);
            if (!read) return failure("cannot read the entry: " + read.message());
            crc = crc32(piece.data(), n, crc);
            done += static_cast<std::uint32_t>(n);
        }
        return crc;
    }
    return failure("no such entry", ErrorKind::Missing);
}

EntryData PackFile::bytesOf(const Entry& e) const {
    if (e.inFileOnly) {
        if (const Result<void> read = readFromFile(e); !read) {
            platform::warn(sourcePath + ": " + escapeEntryName(e.stored.name) + ": " + read.message());
            return EntryData{};
        }
    }
    e.handedOut = true;
    return e.stored.data();
}

Result<void> PackFile::readFromFile(const Entry& e) const {
    // From the file the index came from, which stays open: what a package
    // upgrade puts at its path is another file.
    if (!source) return failure("cannot read the entry: the pack is not open");
    std::unique_ptr<unsigned char[]> bytes(new (std::nothrow) unsigned char[e.stored.size]);
    if (!bytes) return failure("out of memory reading the entry", ErrorKind::OutOfMemory);
    const Result<void> read = source->readAt(e.stored.offset, bytes.get(), e.stored.size);
    if (!read) return failure("cannot read the entry: " + read.message());
    e.stored.bytes = std::move(bytes);
    e.inFileOnly = false;
    return success();
}

GLuint PackFile::acquireTexture(const std::string& name) {
    for (Entry& e : entries) {
        if (e.stored.name != name) continue;
        if (e.textureId == 0) {
            const std::string where =
                (sourcePath.empty() ? "(pack in memory)" : sourcePath) + ": " + escapeEntryName(name) + ": ";
            const Result<void> read = e.inFileOnly ? readFromFile(e) : success();
            if (!read) {
                platform::warn(where + read.message());
            } else {
                const Result<GLuint> texture = textureFromImage(e.stored.bytes.get(), e.stored.size);
                if (texture)
                    e.textureId = *texture;
                else
                    platform::warn(where + "not used as an image: " + texture.message());
            }
            // The texture holds the picture now; the compressed bytes are
            // only kept where a pointer to them was given out, or where
            // they could not be read again.
            if (e.textureId != 0 && !e.handedOut && source) {
                e.stored.bytes.reset();
                e.inFileOnly = true;
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

Result<void> PackFile::addFile(const std::string& path, const std::string& name) {
    // An entry's size field has 32 bits.
    const Result<std::vector<unsigned char>> bytes = platform::readRegularFile(path, 0xFFFFFFFFu);
    if (!bytes) return bytes.error();
    addEntry(name.empty() ? path : name, bytes->data(), static_cast<std::uint32_t>(bytes->size()));
    return success();
}

std::uint64_t PackFile::bytesInMemory() const {
    std::uint64_t total = 0;
    for (const Entry& e : entries)
        if (e.stored.bytes) total += e.stored.size;
    return total;
}

std::vector<PackEntryView> PackFile::views() const {
    std::vector<PackEntryView> out;
    out.reserve(entries.size());
    for (const Entry& e : entries) out.push_back(PackEntryView{&e.stored.name, bytesOf(e)});
    return out;
}

Result<void> PackFile::save(const std::string& path) const { return writePackFile(path, views()); }

bool PackFile::extractAll(const std::string& prefix, std::vector<std::string>* problems) const {
    return extractPackEntries(views(), prefix, problems);
}
