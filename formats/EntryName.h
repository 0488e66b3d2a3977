// Entry names are bytes from the pack file, not trusted text: how they may
// be shown, and which of them may become file paths.
#pragma once

#include "platform/Result.h"

#include <string>

// The name with every byte that could mislead a reader or a terminal
// written as an escape: backslash as \\, tab, newline and carriage return as
// \t, \n, \r, NUL as \0, other control bytes and bytes that are not part of
// valid UTF-8 text as \xNN. Plain and UTF-8 text shows unchanged.
std::string escapeEntryName(const std::string& name);

// Whether a name stays inside the folder it is extracted into (an error
// saying why not): not empty,
// not absolute (a leading / or \, or a drive letter), no ".." component
// between separators (either slash), nor one of dots and spaces that
// Windows reads as ".." (".. ", "..."), no NUL.
Result<void> isSafeEntryPath(const std::string& name);
