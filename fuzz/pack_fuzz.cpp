// The pack reader on arbitrary bytes: it must reject or accept without
// reading out of bounds or allocating more than the input holds, and what
// it accepts must describe the input exactly.
#include "render/PackFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PackFile pack;
    if (const Result<void> parsed = pack.parse(data, size); !parsed) {
        if (parsed.message().empty() || pack.entryCount() != 0) std::abort();
        return 0;
    }
    // Walk the input again and check every entry against it.
    std::size_t pos = 4;
    std::size_t total = 0;
    for (std::size_t i = 0; i < pack.entryCount(); ++i) {
        const std::string& name = pack.entryName(i);
        if (name.size() != data[pos] || std::memcmp(name.data(), data + pos + 1, name.size()) != 0) std::abort();
        pos += 1 + name.size() + 4;
        const EntryData entry = pack.entryAt(i);
        if (entry.size > size - pos || (entry.size && std::memcmp(entry.data, data + pos, entry.size) != 0))
            std::abort();
        pos += entry.size;
        total += entry.size;
        // Lookups find the first entry of a name.
        const EntryData found = pack.entryData(name);
        if (!found.data) std::abort();
    }
    if (pos > size || total > size) std::abort();
    return 0;
}
