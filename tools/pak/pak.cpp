// pak: the pack tool. Lists, creates and extracts pack files with the
// reader and writer the screensaver uses, without any of its graphics.
#include "formats/CommandLine.h"
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

void printUsage() {
    const char* n = programName().c_str();
    std::printf("Usage: %s list PACK\n"
                "       %s create PACK [--name NAME] FILE...\n"
                "       %s extract PACK PREFIX\n"
                "       %s --help | --version\n"
                "\n"
                "list     prints each entry of PACK as: index, name, size in bytes, in file order;\n"
                "         in names, control bytes, backslashes and bytes that are not UTF-8\n"
                "         text are shown as escapes (\\t, \\n, \\\\, \\xNN).\n"
                "create   writes PACK with one entry per FILE, named by the path as given when\n"
                "         it is relative and clean (no '.', '..' or empty parts), else by its\n"
                "         last part; --name NAME (or -n NAME) names the entry of the FILE that\n"
                "         follows it. An existing PACK is replaced only once the new one is\n"
                "         complete.\n"
                "extract  writes every entry into the file PREFIX followed by its name; nothing\n"
                "         is put between them, so a folder PREFIX ends with '/'. The folder\n"
                "         PREFIX names is created when missing. Entries whose names are\n"
                "         absolute, contain '..' or a NUL byte are not written: they are named\n"
                "         on stderr, the rest are extracted, and the exit status is 1.\n"
                "\n"
                "  -h, --help       this text\n"
                "  -V, --version    the version\n"
                "Exit status: 0 when done, 1 when a file or pack cannot be read or written,\n"
                "2 for a bad command line.\n",
                n, n, n, n);
}

// A bad command line: one line and the hint, exit 2.
int usageError(const std::string& problem) {
    std::fputs(usageErrorText(problem).c_str(), stderr);
    return 2;
}

// The entry name for a file given by its path: the path itself when it is
// relative and clean, so that extract gives it back in the same place;
// otherwise its last part. False when not even that can name an entry.
bool entryNameFor(const std::string& path, std::string* name) {
    bool clean = isSafeEntryPath(path, nullptr);
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type end = path.find_first_of("/\\", start);
        const std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty() || part == ".") clean = false;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (clean) {
        *name = path;
        return true;
    }
    const std::string::size_type slash = path.find_last_of("/\\");
    *name = slash == std::string::npos ? path : path.substr(slash + 1);
    return isSafeEntryPath(*name, nullptr) && *name != ".";
}

// Reads a pack for the tool; an unreadable or corrupt pack is explained.
bool openPack(const std::string& path, std::vector<PackEntry>* entries) {
    std::string error;
    if (readPackFile(path, entries, &error)) return true;
    std::fprintf(stderr, "%s: %s: %s\n", programName().c_str(), path.c_str(), error.c_str());
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
            if (i + 1 >= args.size()) return usageError(arg + " needs a name");
            pendingName = args[++i];
            // Named by hand, an entry may be empty, but never lead out of
            // the folder it is extracted into.
            std::string unsafe;
            if (!pendingName.empty() && !isSafeEntryPath(pendingName, &unsafe)) {
                std::fprintf(stderr, "%s: entry name '%s' refused: %s\n", programName().c_str(),
                             escapeEntryName(pendingName).c_str(), unsafe.c_str());
                return 1;
            }
            named = true;
            continue;
        }
        std::string name = pendingName;
        if (!named && !entryNameFor(arg, &name)) {
            std::fprintf(stderr, "%s: %s does not name an entry: give it one with --name\n", programName().c_str(),
                         arg.c_str());
            return 1;
        }
        if (name.size() > maxEntryNameLength) {
            std::fprintf(stderr, "%s: entry name is %zu bytes long, at most %zu fit: %s\n", programName().c_str(),
                         name.size(), maxEntryNameLength, name.c_str());
            return 1;
        }
        std::vector<unsigned char> bytes;
        platform::ReadFailure failure;
        // An entry's size field has 32 bits.
        if (!platform::readRegularFile(arg, &bytes, &failure, 0xFFFFFFFFu)) {
            std::fprintf(stderr, "%s: cannot read %s: %s\n", programName().c_str(), arg.c_str(), failure.reason.c_str());
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
    if (named) return usageError("--name " + pendingName + " is not followed by a file");
    if (files == 0) return usageError("create needs at least one file");
    std::string why;
    if (!writePackFile(path, viewsOf(entries), &why)) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", programName().c_str(), path.c_str(), why.c_str());
        return 1;
    }
    return 0;
}

int extract(const std::string& path, const std::string& prefix) {
    std::vector<PackEntry> entries;
    if (!openPack(path, &entries)) return 1;
    // The folder the prefix names (all of it up to its last '/').
    const std::string::size_type slash = prefix.find_last_of("/\\");
    if (slash != std::string::npos && slash > 0) {
        std::string error;
        if (!platform::createFolders(prefix.substr(0, slash), &error)) {
            std::fprintf(stderr, "%s: %s\n", programName().c_str(), error.c_str());
            return 1;
        }
    }
    std::vector<std::string> problems;
    if (extractPackEntries(viewsOf(entries), prefix, &problems)) return 0;
    for (const std::string& problem : problems)
        std::fprintf(stderr, "%s: %s: %s\n", programName().c_str(), path.c_str(), problem.c_str());
    return 1;
}

int run(const std::vector<std::string>& args) {
    if (args.size() == 1 && isHelpOption(args[0])) {
        printUsage();
        return 0;
    }
    if (args.size() == 1 && isVersionOption(args[0])) {
        std::printf("%s\n", versionLine().c_str());
        return 0;
    }
    if (args.size() == 2 && args[0] == "list") return list(args[1]);
    if (args.size() >= 2 && args[0] == "create")
        return create(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
    if (args.size() == 3 && args[0] == "extract") return extract(args[1], args[2]);
    if (args.empty()) return usageError("no command given");
    if (args[0] == "list" || args[0] == "create" || args[0] == "extract")
        return usageError("wrong number of arguments for " + args[0]);
    return usageError("unknown command '" + args[0] + "'");
}

}  // namespace

int main(int argc, char** argv) {
    setProgramName(argc > 0 ? argv[0] : nullptr, "pak");
    // A pack or a file too large for the memory ends with a message, not
    // with an abort.
    try {
        return run(platform::commandLineArguments(argc, argv));
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: out of memory\n", programName().c_str());
        return 1;
    }
}
