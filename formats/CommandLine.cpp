#include "formats/CommandLine.h"

#include "platform/Platform.h"

#ifndef QUESSANTA_VERSION
#error "QUESSANTA_VERSION comes from the CMake project version"
#endif

const char* projectVersion() { return QUESSANTA_VERSION; }

bool isHelpOption(const std::string& arg) { return arg == "-h" || arg == "--help"; }
bool isVersionOption(const std::string& arg) { return arg == "-V" || arg == "--version"; }

std::string versionLine() { return platform::programName() + " (Quessanta) " + QUESSANTA_VERSION; }

int reportUsageError(const std::string& problem) {
    platform::showFatalError(problem + "\nTry '" + platform::programName() + " --help'.");
    return 2;
}
