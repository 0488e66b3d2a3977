#include "tools/config/XScreenSaverList.h"

#include "formats/CommandLine.h"
#include "formats/XScreenSaverPrograms.h"
#include "platform/Platform.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

const char* const xscreensaverBackupSuffix = ".before-quessanta";

namespace {

// XScreenSaver's settings files are a few kilobytes; anything far beyond is
// not one.
constexpr std::uint64_t largestFile = 1 << 20;

// The line Quessanta runs from: with an OpenGL visual, drawing into
// XScreenSaver's window, found on the PATH XScreenSaver gives its programs.
const char* const visual = "GL";
const char* const command = "quessanta --root";

int fail(const std::string& message) {
    platform::showFatalError(message);
    return 1;
}

struct TextFile {
    std::string path;
    bool exists = false;
    std::string text;
};

// The file's text (exists false when there is none); an error when it
// exists but cannot be read.
Result<TextFile> readText(const std::string& path) {
    TextFile file;
    file.path = path;
    Result<std::vector<unsigned char>> bytes = platform::readRegularFile(path, largestFile);
    if (!bytes) {
        if (bytes.error().kind == ErrorKind::Missing) return file;
        return failure("cannot read " + path + ": " + bytes.message());
    }
    file.exists = true;
    file.text.assign(bytes->begin(), bytes->end());
    return file;
}

Result<TextFile> userFile() {
    const std::string home = platform::getEnv("HOME");
    if (home.empty()) return failure("HOME is not set, so there is no ~/.xscreensaver to change");
    return readText(home + (home.back() == '/' ? "" : "/") + ".xscreensaver");
}

// Replaces the file with the edited text, keeping the old one the first
// time; on an error the file is unchanged.
Result<void> save(const TextFile& file, const std::string& text) {
    if (file.exists) {
        const std::string backup = file.path + xscreensaverBackupSuffix;
        const Result<std::vector<unsigned char>> head = platform::readRegularFileStart(backup, 0);
        if (!head && head.error().kind == ErrorKind::Missing) {
            if (Result<void> kept = platform::replaceFile(backup, reinterpret_cast<const unsigned char*>(file.text.data()),
                                                          file.text.size(), platform::FileMode::Ordinary);
                !kept)
                return kept;
        }
    }
    return platform::replaceFile(file.path, reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                                 platform::FileMode::Ordinary);
}

}  // namespace

int addToXScreenSaver() {
    const std::string defaultsPath = platform::xscreensaverDefaultsFile();
    if (defaultsPath.empty()) return fail("XScreenSaver does not run on this system");
    const Result<TextFile> defaultsRead = readText(defaultsPath);
    if (!defaultsRead) return fail(defaultsRead.message());
    const TextFile& defaults = *defaultsRead;
    if (!defaults.exists) return fail("XScreenSaver is not installed (there is no " + defaultsPath + ")");
    const Result<TextFile> userRead = userFile();
    if (!userRead) return fail(userRead.message());
    const TextFile& user = *userRead;

    const ProgramsEdit edit = addProgram(user.text, defaults.text, visual, command);
    switch (edit.outcome) {
        case ProgramsEdit::Outcome::Refused:
            return fail((user.exists ? user.path : defaultsPath) + " is left as it is: " + edit.reason);
        case ProgramsEdit::Outcome::Unchanged:
            std::printf("XScreenSaver's list in %s already has Quessanta\n", user.path.c_str());
            return 0;
        case ProgramsEdit::Outcome::Changed:
            break;
    }
    if (const Result<void> saved = save(user, edit.text); !saved) return fail(saved.message());
    if (user.exists)
        std::printf("Added Quessanta to XScreenSaver's list in %s (the file as it was: %s%s)\n", user.path.c_str(),
                    user.path.c_str(), xscreensaverBackupSuffix);
    else
        std::printf("Wrote %s: XScreenSaver's list of programs and Quessanta\n", user.path.c_str());
    return 0;
}

int removeFromXScreenSaver() {
    if (platform::xscreensaverDefaultsFile().empty()) return fail("XScreenSaver does not run on this system");
    const Result<TextFile> userRead = userFile();
    if (!userRead) return fail(userRead.message());
    const TextFile& user = *userRead;
    const ProgramsEdit edit = removeProgram(user.text, "quessanta");
    switch (edit.outcome) {
        case ProgramsEdit::Outcome::Refused:
            return fail(user.path + " is left as it is: " + edit.reason);
        case ProgramsEdit::Outcome::Unchanged:
            std::printf("XScreenSaver's list%s%s has no Quessanta\n", user.exists ? " in " : "",
                        user.exists ? user.path.c_str() : "");
            return 0;
        case ProgramsEdit::Outcome::Changed:
            break;
    }
    if (const Result<void> saved = save(user, edit.text); !saved) return fail(saved.message());
    std::printf("Took Quessanta off XScreenSaver's list in %s\n", user.path.c_str());
    return 0;
}
