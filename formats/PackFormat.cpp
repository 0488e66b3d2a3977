#include "formats/PackFormat.h"

#include "formats/EntryName.h"
#include "formats/LittleEndian.h"
#include "platform/Platform.h"

#include <cstring>
#include <new>

ByteSource::ByteSource(const unsigned char* bytes, std::size_t size) : memory(bytes), total(size) {}

ByteSource::ByteSource(std::uint64_t size, std::function<bool(std::uint64_t, void*, std::size_t)> read)
    : reader(std::move(read)), total(size) {}

bool ByteSource::read(void* into, std::size_t count) {
    if (count > remaining()) return false;
    if (count == 0) return true;
    if (memory) {
        std::memcpy(into, memory + position, count);
    } else if (!reader(position, into, count)) {
        return false;
    }
    position += count;
    return true;
}

bool ByteSource::skip(std::uint64_t count) {
    if (count > remaining()) return false;
    position += count;
    return true;
}

Result<std::vector<PackEntry>> readPackEntries(ByteSource& source, EntryBytes bytes) {
    std::vector<PackEntry> entries;
    auto fail = [](const std::string& why, ErrorKind kind = ErrorKind::Other) { return failure(why, kind); };
    unsigned char word[4];
    if (!source.read(word, 4)) return fail("shorter than its entry count");
    const std::int32_t count = readInt32Le(word);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string which = "entry " + std::to_string(i) + " of " + std::to_string(count);
        unsigned char lengthByte = 0;
        if (!source.read(&lengthByte, 1)) return fail(which + " is missing");
        const int nameLength = static_cast<signed char>(lengthByte);
        if (nameLength < 0) return fail(which + " has a negative name length");
        PackEntry entry;
        entry.name.resize(static_cast<std::size_t>(nameLength));
        if (!source.read(&entry.name[0], entry.name.size()) || !source.read(word, 4))
            return fail(which + " ends inside its header");
        entry.size = readUint32Le(word);
        // Checked before allocating: a size field never buys more memory
        // than the file has bytes left.
        if (entry.size > source.remaining()) return fail(which + " has a data size beyond the end of the file");
        entry.offset = source.offset();
        if (bytes == EntryBytes::Skip) {
            source.skip(entry.size);
            entries.push_back(std::move(entry));
            continue;
        }
        // Empty entries get a buffer too: a present entry is never null.
        try {
            entry.bytes.reset(new unsigned char[entry.size]);
        } catch (const std::bad_alloc&) {
            return fail("out of memory: " + which + " needs " + std::to_string(entry.size) + " bytes",
                        ErrorKind::OutOfMemory);
        }
        if (!source.read(entry.bytes.get(), entry.size)) return fail(which + " cannot be read");
        entries.push_back(std::move(entry));
    }
    return entries;
}

Result<std::vector<PackEntry>> readPackFile(const std::string& path) {
    platform::RegularFile file;
    if (Result<void> opened = file.open(path); !opened)
        return failure("cannot open the pack: " + opened.message(), opened.error().kind);
    return readPackFrom(file);
}

Result<std::vector<PackEntry>> readPackFrom(platform::RegularFile& file, EntryBytes bytes) {
    // Entries are read straight into their own buffers: the pack is never
    // held twice. Reads go to the offsets asked for, wherever the file was.
    std::string readError;
    ByteSource source(file.size(), [&](std::uint64_t offset, void* into, std::size_t count) {
        Result<void> read = file.readAt(offset, into, count);
        if (!read) readError = read.message();
        return read.ok();
    });
    Result<std::vector<PackEntry>> entries = readPackEntries(source, bytes);
    if (entries) return entries;
    if (!readError.empty()) return failure("cannot read the pack: " + readError);
    // Out of memory is no fault of the pack.
    if (entries.error().kind == ErrorKind::OutOfMemory) return entries.error();
    return failure("corrupt pack file: " + entries.message());
}

Result<std::vector<unsigned char>> encodePack(const std::vector<PackEntryView>& entries) {
    for (const PackEntryView& e : entries) {
        if (e.name->size() > maxEntryNameLength)
            return failure("entry name is " + std::to_string(e.name->size()) + " bytes long, at most " +
                           std::to_string(maxEntryNameLength) + " fit");
    }
    if (entries.size() > 0x7FFFFFFFu) return failure("too many entries");
    std::vector<unsigned char> bytes;
    std::vector<unsigned char>* out = &bytes;
    unsigned char word[4];
    writeUint32Le(word, static_cast<std::uint32_t>(entries.size()));
    out->insert(out->end(), word, word + 4);
    for (const PackEntryView& e : entries) {
        out->push_back(static_cast<unsigned char>(e.name->size()));
        out->insert(out->end(), e.name->begin(), e.name->end());
        writeUint32Le(word, e.data.size);
        out->insert(out->end(), word, word + 4);
        if (e.data.size) out->insert(out->end(), e.data.data, e.data.data + e.data.size);
    }
    return bytes;
}

Result<void> writePackFile(const std::string& path, const std::vector<PackEntryView>& entries) {
    const Result<std::vector<unsigned char>> bytes = encodePack(entries);
    if (!bytes) return bytes.error();
    // A failed save leaves any existing pack as it was.
    return platform::replaceFile(path, bytes->data(), bytes->size());
}

bool extractPackEntries(const std::vector<PackEntryView>& entries, const std::string& prefix,
                        std::vector<std::string>* problems) {
    bool all = true;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& name = *entries[i].name;
        auto problem = [&](const std::string& why) {
            all = false;
            if (problems) problems->push_back("entry " + std::to_string(i) + " '" + escapeEntryName(name) + "': " + why);
        };
        // Names are data from the file: one must not reach outside the target.
        if (const Result<void> safe = isSafeEntryPath(name); !safe) {
            problem("not extracted: " + safe.message());
            continue;
        }
        // What the user named, up to its last '/', is trusted; below it no
        // symbolic link may lead the entry elsewhere.
        const std::string::size_type cut = prefix.rfind('/') == std::string::npos ? 0 : prefix.rfind('/') + 1;
        const EntryData data = entries[i].data;
        const Result<void> written =
            platform::writeFileBelow(prefix.substr(0, cut), prefix.substr(cut) + name, data.data, data.size);
        if (!written) problem(written.message());
    }
    return all;
}
