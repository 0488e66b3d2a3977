#include "formats/Settings.h"

#include "formats/LittleEndian.h"

#include <cstring>

const Settings::Resolution Settings::resolutions[Settings::resolutionCount] = {
    {0, 0, 0},         {640, 480, 32},   {800, 600, 32},   {1024, 768, 32},  {1152, 864, 32},
    {1280, 800, 32},   {1280, 960, 32},  {1280, 1024, 32}, {1400, 1050, 32}, {1600, 1200, 32},
};

Settings::Settings(std::istream& in) { readFrom(in); }

bool Settings::readFrom(std::istream& in) {
    // One read of the whole layout: a short file is then seen as a whole
    // and nothing of it is used.
    unsigned char bytes[fileSize];
    in.read(reinterpret_cast<char*>(bytes), fileSize);
    return parse(bytes, static_cast<std::size_t>(in.gcount()));
}

void Settings::resetToDefaults() { *this = Settings(); }

bool Settings::parse(const unsigned char* bytes, std::size_t size) {
    if (!bytes || size < static_cast<std::size_t>(fileSize) || readInt32Le(bytes) != layoutMarker) {
        resetToDefaults();
        return false;
    }
    exitOnMouseMove = bytes[4];
    reservedValue = readInt32Le(bytes + 5);
    resolutionIndex = readInt32Le(bytes + 9);
    showFps = bytes[13];
    showClock = bytes[14];
    analogClock = bytes[15];
    clock24h = bytes[16];
    largeClock = bytes[17];
    showCalendar = bytes[18];
    russianCalendar = bytes[19];
    return true;
}

void Settings::serialise(unsigned char out[fileSize]) const {
    writeInt32Le(out, layoutMarker);
    out[4] = exitOnMouseMove;
    writeInt32Le(out + 5, reservedValue);
    writeInt32Le(out + 9, resolutionIndex);
    out[13] = showFps;
    out[14] = showClock;
    out[15] = analogClock;
    out[16] = clock24h;
    out[17] = largeClock;
    out[18] = showCalendar;
    out[19] = russianCalendar;
}

const Settings::Resolution& Settings::resolution() const {
    if (resolutionIndex < 0 || resolutionIndex >= resolutionCount) return resolutions[0];
    return resolutions[resolutionIndex];
}

std::int32_t Settings::screenWidth() const { return resolution().width; }
std::int32_t Settings::screenHeight() const { return resolution().height; }
std::int32_t Settings::screenBitsPerPixel() const { return resolution().bitsPerPixel; }
