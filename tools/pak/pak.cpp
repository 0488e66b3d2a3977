// pak: the pack tool. Lists, creates and extracts pack files.
#include "res/PackFile.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const usage =
    "Usage: pak list PACK\n"
    "       pak create PACK [--name NAME] FILE...\n"
    "       pak extract PACK PREFIX\n"
    "       pak --help\n"
    "\n"
    "list     prints each entry of PACK as: index, name, size in bytes, in file order.\n"
    "create   writes PACK with one entry per FILE, named by the path as given;\n"
    "         --name NAME (or -n NAME) names the entry of the FILE that follows it.\n"
    "         An existing PACK is replaced only once the new one is complete.\n"
    "extract  writes every entry into the file PREFIX followed by its name; nothing\n"
    "         is put between them, so a directory PREFIX ends with '/'.\n";

constexpr std::size_t maxNameLength = 127;

std::string reason() { return errno ? std::strerror(errno) : "unknown error"; }

// Reads a pack for the tool: unlike the screensaver, an unreadable or corrupt
// pack is explained rather than ending the process silently.
bool openPack(const std::string& path, PackFile& pack) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        std::fprintf(stderr, "pak: cannot open %s: %s\n", path.c_str(), reason().c_str());
        return false;
    }
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    const bool readError = std::ferror(file);
    std::fclose(file);
    if (readError) {
        std::fprintf(stderr, "pak: cannot read %s\n", path.c_str());
        return false;
    }
    std::string error;
    if (!pack.parse(bytes.data(), bytes.size(), &error)) {
        std::fprintf(stderr, "pak: %s: corrupt pack file: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

int list(const std::string& path) {
    PackFile pack;
    if (!openPack(path, pack)) return 1;
    for (std::size_t i = 0; i < pack.entryCount(); ++i)
        std::printf("%zu\t%s\t%" PRIu32 "\n", i, pack.entryName(i).c_str(), pack.entryAt(i).size);
    return 0;
}

int create(const std::string& path, const std::vector<std::string>& args) {
    PackFile pack;
    std::string pendingName;
    bool named = false;
    std::size_t files = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--name" || arg == "-n") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "pak: %s needs a name\n", arg.c_str());
                return 2;
            }
            pendingName = args[++i];
            named = true;
            continue;
        }
        const std::string name = named ? pendingName : arg;
        if (name.size() > maxNameLength) {
            std::fprintf(stderr, "pak: entry name is %zu bytes long, at most %zu fit: %s\n", name.size(),
                         maxNameLength, name.c_str());
            return 1;
        }
        errno = 0;
        // An empty --name would fall back to the path, so it is added by hand.
        bool added;
        if (named && name.empty()) {
            PackFile single;
            added = single.addFile(arg);
            if (added) {
                const EntryData data = single.entryAt(0);
                added = pack.addEntry(name, data.data, data.size);
            }
        } else {
            added = pack.addFile(arg, name);
        }
        if (!added) {
            std::fprintf(stderr, "pak: cannot read %s: %s\n", arg.c_str(), reason().c_str());
            return 1;
        }
        named = false;
        ++files;
    }
    if (named) {
        std::fprintf(stderr, "pak: --name %s is not followed by a file\n", pendingName.c_str());
        return 2;
    }
    if (files == 0) {
        std::fprintf(stderr, "pak: create needs at least one file\n%s", usage);
        return 2;
    }
    errno = 0;
    if (!pack.save(path)) {
        std::fprintf(stderr, "pak: cannot write %s: %s\n", path.c_str(), reason().c_str());
        return 1;
    }
    return 0;
}

int extract(const std::string& path, const std::string& prefix) {
    PackFile pack;
    if (!openPack(path, pack)) return 1;
    errno = 0;
    if (!pack.extractAll(prefix)) {
        std::fprintf(stderr, "pak: cannot extract %s to %s...: %s\n", path.c_str(), prefix.c_str(), reason().c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (args.size() == 2 && args[0] == "list") return list(args[1]);
    if (args.size() >= 2 && args[0] == "create")
        return create(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
    if (args.size() == 3 && args[0] == "extract") return extract(args[1], args[2]);
    if (args.empty())
        std::fputs("pak: no command given\n", stderr);
    else
        std::fprintf(stderr, "pak: unknown command or wrong number of arguments: %s\n", args[0].c_str());
    std::fputs(usage, stderr);
    return 2;
}
