// pak: the pack tool. Lists, creates and extracts pack files with the
// reader and writer the screensaver uses, without any of its graphics.
#include "formats/EntryName.h"
#include "formats/PackFormat.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

namespace {

const char* const usage =
    "Usage: pak list PACK\n"
    "       pak create PACK [--name NAME] FILE...\n"
    "       pak extract PACK PREFIX\n"
    "       pak --help\n"
    "\n"
    "list     prints each entry of PACK as: index, name, size in bytes, in file order;\n"
    "         in names, control bytes, backslashes and bytes that are not UTF-8\n"
    "         text are shown as escapes (\\t, \\n, \\\\, \\xNN).\n"
    "create   writes PACK with one entry per FILE, named by the path as given;\n"
    "         --name NAME (or -n NAME) names the entry of the FILE that follows it.\n"
    "         An existing PACK is replaced only once the new one is complete.\n"
    "extract  writes every entry into the file PREFIX followed by its name; nothing\n"
    "         is put between them, so a directory PREFIX ends with '/'. Entries whose\n"
    "         names are absolute, contain '..' or a NUL byte are not written: they are\n"
    "         named on stderr, the rest are extracted, and the exit status is 1.\n";

// Reads a pack for the tool; an unreadable or corrupt pack is explained.
bool openPack(const std::string& path, std::vector<PackEntry>* entries) {
    std::string error;
    if (readPackFile(path, entries, &error)) return true;
    std::fprintf(stderr, "pak: %s: %s\n", path.c_str(), error.c_str());
    return false;
}

std::vector<PackEntryView> viewsOf(const std::vector<PackEntry>& entries) {
    std::vector<PackEntryView> views;
    for (const PackEntry& e : entries) views.push_back(PackEntryView{&e.name, e.data()});
    return views;
}

int list(const std::string& path) {
    std::vector<PackEntry> entries;
    if (!openPack(path, &entries)) return 1;
    for (std::size_t i = 0; i < entries.size(); ++i)
        std::printf("%zu\t%s\t%" PRIu32 "\n", i, escapeEntryName(entries[i].name).c_str(), entries[i].size);
    return 0;
}

int create(const std::string& path, const std::vector<std::string>& args) {
    std::vector<PackEntry> entries;
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
        if (name.size() > maxEntryNameLength) {
            std::fprintf(stderr, "pak: entry name is %zu bytes long, at most %zu fit: %s\n", name.size(),
                         maxEntryNameLength, name.c_str());
            return 1;
        }
        std::vector<unsigned char> bytes;
        platform::ReadFailure failure;
        // An entry's size field has 32 bits.
        if (!platform::readRegularFile(arg, &bytes, &failure, 0xFFFFFFFFu)) {
            std::fprintf(stderr, "pak: cannot read %s: %s\n", arg.c_str(), failure.reason.c_str());
            return 1;
        }
        PackEntry entry;
        entry.name = name;
        entry.size = static_cast<std::uint32_t>(bytes.size());
        entry.bytes.reset(new unsigned char[bytes.size() ? bytes.size() : 1]);
        if (!bytes.empty()) std::copy(bytes.begin(), bytes.end(), entry.bytes.get());
        entries.push_back(std::move(entry));
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
    std::string why;
    if (!writePackFile(path, viewsOf(entries), &why)) {
        std::fprintf(stderr, "pak: cannot write %s: %s\n", path.c_str(), why.c_str());
        return 1;
    }
    return 0;
}

int extract(const std::string& path, const std::string& prefix) {
    std::vector<PackEntry> entries;
    if (!openPack(path, &entries)) return 1;
    std::vector<std::string> problems;
    if (extractPackEntries(viewsOf(entries), prefix, &problems)) return 0;
    for (const std::string& problem : problems) std::fprintf(stderr, "pak: %s: %s\n", path.c_str(), problem.c_str());
    return 1;
}

int run(const std::vector<std::string>& args) {
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

}  // namespace

int main(int argc, char** argv) {
    // A pack or a file too large for the memory ends with a message, not
    // with an abort.
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::bad_alloc&) {
        std::fputs("pak: out of memory\n", stderr);
        return 1;
    }
}
