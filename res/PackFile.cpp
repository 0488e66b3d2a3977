#include "res/PackFile.h"

#include "platform/Platform.h"
#include "res/EntryName.h"
#include "res/ImageDecoder.h"
#include "res/ImageHeader.h"
#include "res/LittleEndian.h"
#include "res/TextureRecipe.h"

#include <SDL/SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Longest name the one-byte signed length field can express.
constexpr std::size_t maxNameLength = 127;

bool writeAll(std::FILE* file, const void* bytes, std::size_t size) {
    return size == 0 || std::fwrite(bytes, 1, size, file) == size;
}

// A decoded image as tightly packed bytes R, G, B, A, whatever layout the
// decoder chose. A colour-keyed pixel becomes fully transparent.
std::vector<unsigned char> toRgba(SDL_Surface* surface) {
    const int w = surface->w;
    const int h = surface->h;
    std::vector<unsigned char> out(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    const SDL_PixelFormat* format = surface->format;
    const int bpp = format->BytesPerPixel;
    const bool keyed = (surface->flags & SDL_SRCCOLORKEY) != 0;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    const unsigned char* rows = static_cast<const unsigned char*>(surface->pixels);
    for (int y = 0; y < h; ++y) {
        const unsigned char* src = rows + static_cast<std::size_t>(y) * surface->pitch;
        unsigned char* dst = out.data() + static_cast<std::size_t>(y) * w * 4;
        for (int x = 0; x < w; ++x, src += bpp, dst += 4) {
            Uint32 pixel = 0;
            switch (bpp) {
            case 1: pixel = src[0]; break;
            case 2: {
                Uint16 v;
                std::memcpy(&v, src, 2);
                pixel = v;
                break;
            }
            case 3:
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
                pixel = (Uint32(src[0]) << 16) | (Uint32(src[1]) << 8) | src[2];
#else
                pixel = src[0] | (Uint32(src[1]) << 8) | (Uint32(src[2]) << 16);
#endif
                break;
            default: std::memcpy(&pixel, src, 4); break;
            }
            Uint8 r, g, b, a;
            SDL_GetRGBA(pixel, surface->format, &r, &g, &b, &a);
            if (keyed && pixel == format->colorkey) a = 0;
            dst[0] = r;
            dst[1] = g;
            dst[2] = b;
            dst[3] = a;
        }
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    return out;
}

// True when the surface already holds tightly packed bytes R, G, B, A.
bool isPackedRgba(const SDL_Surface* surface) {
    const SDL_PixelFormat* f = surface->format;
    if (f->BitsPerPixel != 32 || f->BytesPerPixel != 4 || f->palette) return false;
    if (surface->pitch != surface->w * 4) return false;
    if (surface->flags & SDL_SRCCOLORKEY) return false;
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
    return f->Rmask == 0xFF000000u && f->Gmask == 0x00FF0000u && f->Bmask == 0x0000FF00u && f->Amask == 0x000000FFu;
#else
    return f->Rmask == 0x000000FFu && f->Gmask == 0x0000FF00u && f->Bmask == 0x00FF0000u && f->Amask == 0xFF000000u;
#endif
}

// The side limit for decoding: what OpenGL takes, and never more than
// maxImageSide.
std::uint32_t textureSideLimit() {
    GLint most = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &most);
    if (most <= 0 || static_cast<std::uint32_t>(most) > maxImageSide) return maxImageSide;
    return static_cast<std::uint32_t>(most);
}

}  // namespace

PackFile::PackFile() = default;

PackFile::PackFile(const std::string& path) : sourcePath(path) {
    std::vector<unsigned char> bytes;
    platform::ReadFailure failure;
    if (!platform::readRegularFile(path, &bytes, &failure)) {
        std::fprintf(stderr, "%s: cannot open the pack: %s\n", path.c_str(), failure.reason.c_str());
        std::exit(1);
    }
    std::string error;
    if (!parse(bytes.data(), bytes.size(), &error)) {
        std::fprintf(stderr, "%s: corrupt pack file: %s\n", path.c_str(), error.c_str());
        std::exit(1);
    }
}

PackFile::~PackFile() { clear(); }

void PackFile::clear() {
    for (EntryData& entry : entries) delete[] entry.data;
    textureIds.clear();
    useCounts.clear();
    entries.clear();
    names.clear();
}

bool PackFile::parse(const unsigned char* bytes, std::size_t size, std::string* error) {
    clear();
    auto fail = [&](const std::string& why) {
        clear();
        if (error) *error = why;
        return false;
    };
    if (size < 4) return fail("shorter than its entry count");
    const std::int32_t count = static_cast<std::int32_t>(readUint32Le(bytes));
    std::size_t pos = 4;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string which = "entry " + std::to_string(i) + " of " + std::to_string(count);
        if (size - pos < 1) return fail(which + " is missing");
        const int nameLength = static_cast<signed char>(bytes[pos]);
        pos += 1;
        if (nameLength < 0) return fail(which + " has a negative name length");
        const std::size_t L = static_cast<std::size_t>(nameLength);
        if (size - pos < L + 4) return fail(which + " ends inside its header");
        std::string name(reinterpret_cast<const char*>(bytes + pos), L);
        pos += L;
        const std::uint32_t dataSize = readUint32Le(bytes + pos);
        pos += 4;
        // Checked before allocating: a size field never buys more memory
        // than the file has bytes left.
        if (dataSize > size - pos) return fail(which + " has a data size beyond the end of the file");
        unsigned char* data = new unsigned char[dataSize];
        if (dataSize) std::memcpy(data, bytes + pos, dataSize);
        pos += dataSize;
        entries.push_back(EntryData{data, dataSize});
        names.push_back(std::move(name));
        textureIds.push_back(0);
        useCounts.push_back(0);
    }
    return true;
}

EntryData PackFile::entryData(const std::string& name) const {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return entries[i];
    return EntryData{};
}

GLuint PackFile::acquireTexture(const std::string& name) {
    std::size_t i = 0;
    while (i < names.size() && names[i] != name) ++i;
    if (i == names.size()) return 0;
    if (textureIds[i] == 0) {
        std::string reason;
        SDL_Surface* surface = decodeImage(entries[i].data, entries[i].size, textureSideLimit(), &reason);
        if (!surface)
            std::fprintf(stderr, "%s: %s: not used as an image: %s\n",
                         sourcePath.empty() ? "(pack in memory)" : sourcePath.c_str(),
                         escapeEntryName(names[i]).c_str(), reason.c_str());
        if (surface) {
            if (isPackedRgba(surface)) {
                if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
                textureIds[i] = createTexture(surface->w, surface->h, surface->pixels);
                if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
            } else {
                // Other layouts would upload as garbage: convert them first.
                const std::vector<unsigned char> rgba = toRgba(surface);
                textureIds[i] = createTexture(surface->w, surface->h, rgba.data());
            }
            SDL_FreeSurface(surface);
        }
    }
    ++useCounts[i];
    return textureIds[i];
}

void PackFile::releaseTexture(GLuint texture) {
    if (texture == 0) return;
    for (std::size_t i = 0; i < textureIds.size(); ++i) {
        if (textureIds[i] != texture) continue;
        if (--useCounts[i] == 0) {
            glDeleteTextures(1, &textureIds[i]);
            textureIds[i] = 0;
        }
    }
}

bool PackFile::addEntry(const std::string& name, const void* bytes, std::uint32_t length) {
    if (length && !bytes) return false;
    unsigned char* data = new unsigned char[length];
    if (length) std::memcpy(data, bytes, length);
    entries.push_back(EntryData{data, length});
    names.push_back(name);
    textureIds.push_back(0);
    useCounts.push_back(0);
    return true;
}

bool PackFile::addFile(const std::string& path, const std::string& name, std::string* error) {
    std::vector<unsigned char> bytes;
    platform::ReadFailure failure;
    // An entry's size field has 32 bits.
    if (!platform::readRegularFile(path, &bytes, &failure, 0xFFFFFFFFu)) {
        if (error) *error = failure.reason;
        return false;
    }
    return addEntry(name.empty() ? path : name, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

bool PackFile::save(const std::string& path, std::string* error) const {
    for (const std::string& name : names) {
        if (name.size() > maxNameLength) {
            if (error) *error = "an entry name is longer than " + std::to_string(maxNameLength) + " bytes";
            return false;
        }
    }
    if (names.size() > 0x7FFFFFFFu) {
        if (error) *error = "too many entries";
        return false;
    }

    std::vector<unsigned char> bytes;
    unsigned char word[4];
    writeUint32Le(word, static_cast<std::uint32_t>(names.size()));
    bytes.insert(bytes.end(), word, word + 4);
    for (std::size_t i = 0; i < names.size(); ++i) {
        bytes.push_back(static_cast<unsigned char>(names[i].size()));
        bytes.insert(bytes.end(), names[i].begin(), names[i].end());
        writeUint32Le(word, entries[i].size);
        bytes.insert(bytes.end(), word, word + 4);
        bytes.insert(bytes.end(), entries[i].data, entries[i].data + entries[i].size);
    }
    // A failed save leaves any existing pack as it was.
    std::string reason;
    if (platform::replaceFile(path, bytes.data(), bytes.size(), platform::FileMode::Ordinary, &reason)) return true;
    if (error) *error = reason;
    return false;
}

bool PackFile::extractAll(const std::string& prefix, std::vector<std::string>* problems) const {
    bool all = true;
    auto problem = [&](std::size_t i, const std::string& why) {
        all = false;
        if (problems) problems->push_back("entry " + std::to_string(i) + " '" + escapeEntryName(names[i]) + "': " + why);
    };
    for (std::size_t i = 0; i < names.size(); ++i) {
        // Names are data from the file: one must not reach outside the target.
        std::string unsafe;
        if (!isSafeEntryPath(names[i], &unsafe)) {
            problem(i, "not extracted: " + unsafe);
            continue;
        }
        const std::string target = prefix + names[i];
        std::FILE* file = std::fopen(target.c_str(), "wb");
        if (!file) {
            problem(i, "cannot create " + target + ": " + std::strerror(errno));
            continue;
        }
        const bool written = writeAll(file, entries[i].data, entries[i].size);
        const int savedErrno = errno;
        if (std::fclose(file) != 0 || !written)
            problem(i, "cannot write " + target + ": " + std::strerror(written ? errno : savedErrno));
    }
    return all;
}
