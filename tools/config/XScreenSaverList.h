// The user's own XScreenSaver list of programs (~/.xscreensaver), which
// XScreenSaver's settings show and run: Quessanta put on it or taken off,
// without the user editing the file.
#pragma once

// Adds Quessanta's line to the list. Where the file does not exist yet, or
// holds no list, the list written is XScreenSaver's own (from its
// app-defaults) with Quessanta after it, so nothing the user had goes away.
// The file is replaced atomically; the first time it is changed, the file as
// it was is kept beside it (xscreensaverBackupSuffix). Returns the exit
// status after one line: what was done on stdout, or on stderr why nothing
// was (XScreenSaver missing, a file that cannot be read or changed safely).
int addToXScreenSaver();

// Takes every Quessanta line off the list, the same way.
int removeFromXScreenSaver();

// Appended to the file's path for the copy kept the first time.
extern const char* const xscreensaverBackupSuffix;
