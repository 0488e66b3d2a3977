// What every program of the project does alike on its command line: it
// names itself by the name it was called with, answers -h/--help and
// -V/--version, and reports a usage error as one line followed by a hint
// to its help.
#pragma once

#include <string>

// The program's name from argv[0]: its last path component, without a
// Windows ".exe" or ".scr"; `fallback` when argv[0] is missing or empty.
// Kept for the messages of the whole process.
void setProgramName(const char* argv0, const char* fallback);
const std::string& programName();

// The project's version, one for every program and the package.
const char* projectVersion();

bool isHelpOption(const std::string& arg);     // -h, --help
bool isVersionOption(const std::string& arg);  // -V, --version

// "NAME (Quessanta) VERSION", without a newline.
std::string versionLine();
// The text for stderr of a usage error: "NAME: problem", then
// "Try 'NAME --help'.", each line ended.
std::string usageErrorText(const std::string& problem);
