#include "res/PackFile.h"

#include "res/LittleEndian.h"
#include "res/TextureRecipe.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Longest name the one-byte signed length field can express.
constexpr std::size_t maxNameLength = 127;

// Whole file into memory; false when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::vector<unsigned char>& out) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    out.clear();
    unsigned char chunk[65536];
    bool ok = true;
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
        out.insert(out.end(), chunk, chunk + got);
        if (got < sizeof chunk) {
            ok = !std::ferror(file);
            break;
        }
    }
    std::fclose(file);
    return ok;
}

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

}  // namespace

PackFile::PackFile() = default;

PackFile::PackFile(const std::string& path) {
    std::vector<unsigned char> bytes;
    if (!readWholeFile(path, bytes)) std::exit(1);
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
    if (textureIds[i] == 0 && entries[i].size <= static_cast<std::uint32_t>(INT_MAX)) {
        SDL_RWops* stream = SDL_RWFromMem(const_cast<unsigned char*>(entries[i].data), static_cast<int>(entries[i].size));
        SDL_Surface* surface = stream ? IMG_Load_RW(stream, 0) : nullptr;
        if (stream) SDL_FreeRW(stream);
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

bool PackFile::addFile(const std::string& path, const std::string& name) {
    std::vector<unsigned char> bytes;
    if (!readWholeFile(path, bytes)) return false;
    if (bytes.size() > 0xFFFFFFFFu) {
        errno = EFBIG;
        return false;
    }
    return addEntry(name.empty() ? path : name, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

bool PackFile::save(const std::string& path) const {
    for (const std::string& name : names) {
        if (name.size() > maxNameLength) {
            errno = ENAMETOOLONG;
            return false;
        }
    }
    if (names.size() > 0x7FFFFFFFu) return false;

    // Written beside the target and renamed over it, so a failed save
    // leaves any existing pack as it was.
    std::string temp = path + ".XXXXXX";
    std::vector<char> tmpl(temp.begin(), temp.end());
    tmpl.push_back('\0');
    const int fd = mkstemp(tmpl.data());
    if (fd < 0) return false;
    temp.assign(tmpl.data());
    std::FILE* file = fdopen(fd, "wb");
    if (!file) {
        close(fd);
        unlink(temp.c_str());
        return false;
    }
    unsigned char word[4];
    writeUint32Le(word, static_cast<std::uint32_t>(names.size()));
    bool ok = writeAll(file, word, 4);
    for (std::size_t i = 0; ok && i < names.size(); ++i) {
        const unsigned char length = static_cast<unsigned char>(names[i].size());
        writeUint32Le(word, entries[i].size);
        ok = writeAll(file, &length, 1) && writeAll(file, names[i].data(), names[i].size()) &&
             writeAll(file, word, 4) && writeAll(file, entries[i].data, entries[i].size);
    }
    ok = std::fflush(file) == 0 && ok;
    ok = fsync(fileno(file)) == 0 && ok;
    // mkstemp makes the file private; a pack is an ordinary file.
    const mode_t mask = umask(0);
    umask(mask);
    ok = fchmod(fileno(file), 0666 & ~mask) == 0 && ok;
    const int savedErrno = errno;
    ok = std::fclose(file) == 0 && ok;
    if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
    const int reportErrno = ok ? errno : savedErrno;
    unlink(temp.c_str());
    errno = reportErrno;
    return false;
}

bool PackFile::extractAll(const std::string& prefix) const {
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string target = prefix + names[i];
        std::FILE* file = std::fopen(target.c_str(), "wb");
        if (!file) return false;
        const bool written = writeAll(file, entries[i].data, entries[i].size);
        const int savedErrno = errno;
        if (std::fclose(file) != 0 || !written) {
            if (!written) errno = savedErrno;
            return false;
        }
    }
    return true;
}
