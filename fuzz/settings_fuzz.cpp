// Feeds arbitrary bytes to the settings reader: it must never read past the
// input, must take all the defaults for anything that is not a valid file,
// and whatever it accepts must select a row inside the resolution table and
// write back to the same 20 bytes.
#include "formats/Settings.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size), std::ios::binary);
    Settings settings(in);
    std::istringstream again(std::string(reinterpret_cast<const char*>(data), size), std::ios::binary);
    Settings check;
    const bool valid = check.readFrom(again);

    unsigned char out[Settings::fileSize];
    settings.serialise(out);
    unsigned char defaults[Settings::fileSize];
    Settings().serialise(defaults);
    if (valid) {
        if (std::memcmp(out, data, Settings::fileSize) != 0) std::abort();
    } else if (std::memcmp(out, defaults, Settings::fileSize) != 0) {
        std::abort();
    }

    const std::int32_t w = settings.screenWidth(), h = settings.screenHeight(), bpp = settings.screenBitsPerPixel();
    bool inTable = false;
    for (const Settings::Resolution& row : Settings::resolutions)
        inTable = inTable || (row.width == w && row.height == h && row.bitsPerPixel == bpp);
    if (!inTable) std::abort();
    return 0;
}
