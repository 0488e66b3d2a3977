// Model entries from untrusted bytes: the parser must stop at the entry's
// end whatever the counts and lengths say, and what it reads, written again,
// must read back the same.
#include "formats/ModelFormat.h"
#include "scene/MeshPart.h"
#include "scene/SceneNode.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    // An exact-size copy, so any read past the end is caught.
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[size ? size : 1]);
    if (size) std::memcpy(bytes.get(), data, size);
    std::vector<MeshPart*> parts;
    const std::int32_t n = parseModel(bytes.get(), static_cast<std::uint32_t>(size), "fuzz.pak", parts);
    if (n < 0 || static_cast<std::size_t>(n) != parts.size()) __builtin_trap();
    const unsigned char* end = bytes.get() + size;
    for (MeshPart* p : parts) {
        // Every array the draw would read lies inside the entry.
        const std::size_t t = static_cast<std::size_t>(p->triangleCount);
        if (p->material + 60 > end || p->positions + 72 * t > end || p->normals + 72 * t > end ||
            p->texCoords + 48 * t > end)
            __builtin_trap();
        delete p;
    }
    const std::vector<PartContents> read = readModel(bytes.get(), size);
    if (read.size() != static_cast<std::size_t>(n)) __builtin_trap();
    const std::vector<unsigned char> written = writeModel(read);
    const std::vector<PartContents> again = readModel(written.data(), written.size());
    if (again.size() != read.size()) __builtin_trap();
    for (std::size_t i = 0; i < read.size(); ++i)
        if (!identical(read[i], again[i])) __builtin_trap();
    return 0;
}
