#include "formats/PackFormat.h"

#include "formats/EntryName.h"
#include "formats/LittleEndian.h"
#include "platform/Platform.h"

#include <cstring>
#include <new>

ByteSource::ByteSource(const unsigned char* bytes, std::size_t size) : memory(bytes), total(size) {}

ByteSource::ByteSource(std::uint64_t size, std::function<bool(void*, std::size_t)> read)
    : reader(std::move(read)), total(size) {}

bool ByteSource::read(void* into, std::size_t count) {
    if (count > remaining()) return false;
    if (count == 0) return true;
    if (memory) {
        std::memcpy(into, memory + position, count);
    } else if (!reader(into, count)) {
        return false;
    }
    position += count;
    return true;
}

bool readPackEntries(ByteSource& source, std::vector<PackEntry>* entries, std::string* error) {
    entries->clear();
    auto fail = [&](const std::string& why) {
        entries->clear();
        if (error) *error = why;
        return false;
    };
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
        // Empty entries get a buffer too: a present entry is never null.
        try {
            entry.bytes.reset(new unsigned char[entry.size]);
        } catch (const std::bad_alloc&) {
            return fail(which + " does not fit in memory");
        }
        if (!source.read(entry.bytes.get(), entry.size)) return fail(which + " cannot be read");
        entries->push_back(std::move(entry));
    }
    return true;
}

bool readPackFile(const std::string& path, std::vector<PackEntry>* entries, std::string* error) {
    platform::RegularFile file;
    platform::ReadFailure failure;
    if (!file.open(path, &failure)) {
        if (error) *error = "cannot open the pack: " + failure.reason;
        return false;
    }
    // Entries are read straight into their own buffers: the pack is never
    // held twice.
    ByteSource source(file.size(), [&](void* into, std::size_t count) { return file.read(into, count, &failure); });
    std::string why;
    if (readPackEntries(source, entries, &why)) return true;
    if (error) *error = failure.reason.empty() ? "corrupt pack file: " + why : "cannot read the pack: " + failure.reason;
    return false;
}

bool encodePack(const std::vector<PackEntryView>& entries, std::vector<unsigned char>* out, std::string* error) {
    for (const PackEntryView& e : entries) {
        if (e.name->size() > maxEntryNameLength) {
            if (error) *error = "entry name is " + std::to_string(e.name->size()) + " bytes long, at most " +
                                std::to_string(maxEntryNameLength) + " fit";
            return false;
        }
    }
    if (entries.size() > 0x7FFFFFFFu) {
        if (error) *error = "too many entries";
        return false;
    }
    out->clear();
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
    return true;
}

bool writePackFile(const std::string& path, const std::vector<PackEntryView>& entries, std::string* error) {
    std::vector<unsigned char> bytes;
    if (!encodePack(entries, &bytes, error)) return false;
    // A failed save leaves any existing pack as it was.
    return platform::replaceFile(path, bytes.data(), bytes.size(), platform::FileMode::Ordinary, error);
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
        std::string unsafe;
        if (!isSafeEntryPath(name, &unsafe)) {
            problem("not extracted: " + unsafe);
            continue;
        }
        // What the user named, up to its last '/', is trusted; below it no
        // symbolic link may lead the entry elsewhere.
        const std::string::size_type cut = prefix.rfind('/') == std::string::npos ? 0 : prefix.rfind('/') + 1;
        std::string why;
        const EntryData data = entries[i].data;
        if (!platform::writeFileBelow(prefix.substr(0, cut), prefix.substr(cut) + name, data.data, data.size, &why))
            problem(why);
    }
    return all;
}
