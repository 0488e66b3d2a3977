// The user's choices, read once at start-up from the 20-byte settings file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>

struct Settings {
    std::uint8_t showFps = 0;
    std::uint8_t showClock = 1;
    std::uint8_t analogClock = 0;
    std::uint8_t clock24h = 0;
    std::uint8_t largeClock = 1;
    std::uint8_t showCalendar = 1;
    std::uint8_t russianCalendar = 0;
    std::uint8_t exitOnMouseMove = 0;
    std::int32_t reservedValue = 0;
    std::int32_t resolutionIndex = 0;

    static constexpr int fileSize = 20;
    static constexpr std::int32_t layoutMarker = 1;
    static constexpr int resolutionCount = 10;

    Settings() = default;
    // Reads the file layout. A wrong marker or a file shorter than 20 bytes
    // gives all the defaults: nothing half-read is used.
    explicit Settings(std::istream& in);
    // The same reading into an existing record; true when the stream held a
    // valid file, false when the defaults were taken instead.
    bool readFrom(std::istream& in);

    void resetToDefaults();
    // The resolution-table row selected by resolutionIndex; an index outside
    // the table selects row 0, the desktop mode.
    std::int32_t screenWidth() const;
    std::int32_t screenHeight() const;
    std::int32_t screenBitsPerPixel() const;

    // Parses the 20-byte layout; false, with every field at its default,
    // when the bytes are not a valid settings file.
    bool parse(const unsigned char* bytes, std::size_t size);
    // The 20-byte layout with marker 1.
    void serialise(unsigned char out[fileSize]) const;

    struct Resolution {
        std::int32_t width, height, bitsPerPixel;
    };
    static const Resolution resolutions[resolutionCount];
    const Resolution& resolution() const;
};
