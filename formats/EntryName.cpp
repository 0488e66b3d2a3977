#include "formats/EntryName.h"

#include <cstdio>

namespace {

void appendHex(std::string& out, unsigned char byte) {
    char text[5];
    std::snprintf(text, sizeof text, "\\x%02X", byte);
    out += text;
}

// Length of the valid UTF-8 sequence at i that encodes a printable code
// point (not a C1 control), or 0.
std::size_t printableUtf8Length(const std::string& s, std::size_t i) {
    const unsigned char lead = static_cast<unsigned char>(s[i]);
    std::size_t length;
    unsigned cp;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (s.size() - i < length) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    const unsigned smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < smallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    if (cp < 0xA0) return 0;  // C1 controls can steer a terminal too
    return length;
}

}  // namespace

std::string escapeEntryName(const std::string& name) {
    std::string out;
    for (std::size_t i = 0; i < name.size();) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 0x80) {
            const std::size_t length = printableUtf8Length(name, i);
            if (length) {
                out.append(name, i, length);
                i += length;
            } else {
                appendHex(out, c);
                ++i;
            }
            continue;
        }
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\0': out += "\\0"; break;
            default:
                if (c < 0x20 || c == 0x7F)
                    appendHex(out, c);
                else
                    out += static_cast<char>(c);
        }
        ++i;
    }
    return out;
}

Result<void> isSafeEntryPath(const std::string& name) {
    auto refuse = [](const char* why) { return failure(why); };
    if (name.empty()) return refuse("empty name");
    if (name.find('\0') != std::string::npos) return refuse("name contains a NUL byte");
    if (name[0] == '/' || name[0] == '\\') return refuse("absolute name");
    if (name.size() >= 2 && name[1] == ':') return refuse("name starts with a drive");
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = name.find_first_of("/\\", start);
        const std::string part = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        // Windows drops trailing dots and spaces from a name, so ".. " or
        // "..." can mean the parent folder there.
        if (part.find_first_not_of(". ") == std::string::npos && part.find("..") != std::string::npos)
            return refuse("name leads out of the folder (..)");
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return success();
}
