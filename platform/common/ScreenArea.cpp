// The text that hands a screensaver its monitor: one form for the launcher
// that writes it and the program that reads it, on every port.
#include "platform/Platform.h"

#include <cstdlib>

namespace platform {

namespace {

// A whole decimal number in [low, high] at *text, which moves past it.
bool readNumber(const char** text, long low, long high, std::int32_t* value) {
    const char* start = *text;
    if (*start == '-') ++start;
    if (*start < '0' || *start > '9') return false;
    char* end = nullptr;
    const long n = std::strtol(*text, &end, 10);
    // Six digits at most: strtol's range is never reached.
    if (end - start > 6 || n < low || n > high) return false;
    *text = end;
    *value = static_cast<std::int32_t>(n);
    return true;
}

bool expect(const char** text, char c) {
    if (**text != c) return false;
    ++*text;
    return true;
}

}  // namespace

std::string screenAreaText(const ScreenArea& area) {
    return std::to_string(area.x) + "," + std::to_string(area.y) + "," + std::to_string(area.width) + "x" +
           std::to_string(area.height);
}

bool parseScreenArea(const std::string& text, ScreenArea* area) {
    ScreenArea read;
    const char* p = text.c_str();
    if (!readNumber(&p, -32768, 32767, &read.x) || !expect(&p, ',') || !readNumber(&p, -32768, 32767, &read.y) ||
        !expect(&p, ',') || !readNumber(&p, 1, 32767, &read.width) || !expect(&p, 'x') ||
        !readNumber(&p, 1, 32767, &read.height) || *p != '\0' || p != text.c_str() + text.size())
        return false;
    *area = read;
    return true;
}

}  // namespace platform
