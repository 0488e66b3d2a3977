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
#include <optional>
#include <string>
#include <vector>

namespace {

void printUsage() {
    const char* n = platform::programName().c_str();
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
                "         PREFIX names, and those the entries' names need, are created when\n"
                "         missing. Entries whose names are absolute, contain '..' or a NUL\n"
                "         byte are not written: they are named\n"
                "         on stderr, the rest are extracted, and the exit status is 1.\n"
                "\n"
                "  -h, --help       this text\n"
                "  -V, --version    the version\n"
                "Exit status: 0 when done, 1 when a file or pack cannot be read or written,\n"
                "2 for a bad command line.\n",
                n, n, n, n);
}

// A failure: one line, exit 1.
int fail(const std::string& problem) {
    platform::showFatalError(problem);
    return 1;
}

// The entry name for a file given by its path: the path itself when it is
// relative and clean, so that extract gives it back in the same place;
// otherwise its last part. Nothing when not even that can name an entry.
std::optional<std::string> entryNameFor(const std::string& path) {
    bool clean = isSafeEntryPath(path).ok();
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type end = path.find_first_of("/\\", start);
        const std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty() || part == ".") clean = false;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (clean) return path;
    const std::string::size_type slash = path.find_last_of("/\\");
    const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!isSafeEntryPath(last) || last == ".") return std::nullopt;
    return last;
}

// Reads a pack for the tool; an unreadable or corrupt pack is explained.
bool openPack(const std::string& path, std::vector<PackEntry>* entries) {
    Result<std::vector<PackEntry>> read = readPackFile(path);
    if (!read) {
        platform::showFatalError(path + ": " + read.message());
        return false;
    }
    *entries = std::move(*read);
    return true;
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
            if (i + 1 >= args.size()) return reportUsageError(arg + " needs a name");
            pendingName = args[++i];
            // Named by hand, an entry may be empty, but never lead out of
            // the folder it is extracted into.
            if (const Result<void> safe = isSafeEntryPath(pendingName); !pendingName.empty() && !safe)
                return fail("entry name '" + escapeEntryName(pendingName) + "' refused: " + safe.message());
            named = true;
            continue;
        }
        const std::optional<std::string> derived = named ? pendingName : entryNameFor(arg);
        if (!derived) return fail(arg + " does not name an entry: give it one with --name");
        const std::string& name = *derived;
        if (name.size() > maxEntryNameLength)
            return fail("entry name is " + std::to_string(name.size()) + " bytes long, at most " +
                        std::to_string(maxEntryNameLength) + " fit: " + name);
        // An entry's size field has 32 bits.
        const Result<std::vector<unsigned char>> read = platform::readRegularFile(arg, 0xFFFFFFFFu);
        if (!read) return fail("cannot read " + arg + ": " + read.message());
        const std::vector<unsigned char>& bytes = *read;
        PackEntry entry;
        entry.name = name;
        entry.size = static_cast<std::uint32_t>(bytes.size());
        entry.bytes.reset(new unsigned char[bytes.size() ? bytes.size() : 1]);
        if (!bytes.empty()) std::copy(bytes.begin(), bytes.end(), entry.bytes.get());
        entries.push_back(std::move(entry));
        named = false;
        ++files;
    }
    if (named) return reportUsageError("--name " + pendingName + " is not followed by a file");
    if (files == 0) return reportUsageError("create needs at least one file");
    if (const Result<void> written = writePackFile(path, viewsOf(entries)); !written)
        return fail("cannot write " + path + ": " + written.message());
    return 0;
}

int extract(const std::string& path, const std::string& prefix) {
    std::vector<PackEntry> entries;
    if (!openPack(path, &entries)) return 1;
    // The folder the prefix names (all of it up to its last '/').
    const std::string::size_type slash = prefix.find_last_of("/\\");
    if (slash != std::string::npos && slash > 0) {
        if (const Result<void> made = platform::createFolders(prefix.substr(0, slash)); !made)
            return fail(made.message());
    }
    std::vector<std::string> problems;
    if (extractPackEntries(viewsOf(entries), prefix, &problems)) return 0;
    for (const std::string& problem : problems) platform::showFatalError(path + ": " + problem);
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
    if (args.empty()) return reportUsageError("no command given");
    if (args[0] == "list" || args[0] == "create" || args[0] == "extract")
        return reportUsageError("wrong number of arguments for " + args[0]);
    return reportUsageError("unknown command '" + args[0] + "'");
}

}  // namespace

int main(int argc, char** argv) {
    platform::setProgramName(argc > 0 ? argv[0] : nullptr, "pak");
    // A pack or a file too large for the memory ends with a message, not
    // with an abort.
    try {
        return run(platform::commandLineArguments(argc, argv));
    } catch (const std::bad_alloc&) {
        platform::showFatalError("out of memory");
        return 1;
    }
}
