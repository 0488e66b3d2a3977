// What every program of the project does alike on its command line: it
// names itself by the name it was called with (platform::programName), answers -h/--help and
// -V/--version, and reports a usage error as one line followed by a hint
// to its help.
#pragma once

#include <string>

// The project's version, one for every program and the package.
const char* projectVersion();

bool isHelpOption(const std::string& arg);     // -h, --help
bool isVersionOption(const std::string& arg);  // -V, --version

// "NAME (Quessanta) VERSION", without a newline.
std::string versionLine();
// A usage error, through the fatal path: "NAME: problem", then "Try 'NAME
// --help'."; returns the exit status for it, 2.
int reportUsageError(const std::string& problem);
