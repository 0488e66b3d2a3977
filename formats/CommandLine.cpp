#include "formats/CommandLine.h"

#ifndef QUESSANTA_VERSION
#error "QUESSANTA_VERSION comes from the CMake project version"
#endif

namespace {

// Set once by main, read by every message.
std::string name = "quessanta";

bool endsWithIgnoringCase(const std::string& text, const char* suffix) {
    const std::string s(suffix);
    if (text.size() <= s.size()) return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = text[text.size() - s.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != s[i]) return false;
    }
    return true;
}

}  // namespace

void setProgramName(const char* argv0, const char* fallback) {
    std::string called = argv0 ? argv0 : "";
    const std::string::size_type slash = called.find_last_of("/\\");
    if (slash != std::string::npos) called.erase(0, slash + 1);
    if (endsWithIgnoringCase(called, ".exe") || endsWithIgnoringCase(called, ".scr")) called.resize(called.size() - 4);
    name = called.empty() ? fallback : called;
}

const std::string& programName() { return name; }

const char* projectVersion() { return QUESSANTA_VERSION; }

bool isHelpOption(const std::string& arg) { return arg == "-h" || arg == "--help"; }
bool isVersionOption(const std::string& arg) { return arg == "-V" || arg == "--version"; }

std::string versionLine() { return name + " (Quessanta) " + QUESSANTA_VERSION; }

std::string usageErrorText(const std::string& problem) {
    return name + ": " + problem + "\nTry '" + name + " --help'.\n";
}
