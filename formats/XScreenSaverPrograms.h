// XScreenSaver's list of programs: the "programs" resource of the user's
// ~/.xscreensaver ("programs:") and of the system's app-defaults
// ("*programs:"). A resource runs on over lines that end in a backslash;
// "\n" escapes separate its entries, each "[-] [VISUAL:] ["NAME"] COMMAND".
// Text in, text out: an edit adds or removes whole entries and keeps every
// other byte, so that the user's layout, comments and settings survive.
#pragma once

#include "platform/Result.h"

#include <string>
#include <vector>

struct ProgramsEdit {
    enum class Outcome { Changed, Unchanged, Refused };
    Outcome outcome = Outcome::Refused;
    std::string text;    // the whole new text, when Changed
    std::string reason;  // one line, when Refused
};

// The commands of the list's entries in order (without "-", visual and
// name); an error when the text holds no list or more than one.
// systemFile: app-defaults syntax ("*programs:") rather than the user's
// ("programs:").
Result<std::vector<std::string>> listPrograms(const std::string& text, bool systemFile);

// The program an entry's command runs: its first word without the folder,
// in lower case ("/usr/libexec/xscreensaver/Foo -root" runs "foo").
std::string programOfCommand(const std::string& command);

// Adds "VISUAL: COMMAND" as a line of its own at the end of the user's list,
// unless an entry already runs the same program (enabled or not). A user
// text without a list (empty for a file that does not exist yet) gets the
// system's list, as its app-defaults text spells it, and the entry after it.
ProgramsEdit addProgram(const std::string& userText, const std::string& systemText, const std::string& visual,
                        const std::string& command);

// Removes every entry of the user's list that runs `program` (as
// programOfCommand gives it), with the lines that held only it.
ProgramsEdit removeProgram(const std::string& userText, const std::string& program);
