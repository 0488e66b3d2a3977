#include "formats/XScreenSaverPrograms.h"

#include <algorithm>
#include <cctype>
#include <cstddef>

namespace {

using Size = std::string::size_type;
constexpr Size none = std::string::npos;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool allBlank(const std::string& text, Size from, Size to) {
    for (Size i = from; i < to; ++i)
        if (!isBlank(text[i])) return false;
    return true;
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string trimmed(const std::string& s) {
    Size a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return s.substr(a, b - a);
}

// Where the logical line that starts at `from` ends: at the first newline
// whose physical line does not end in a backslash (XScreenSaver joins those,
// unless the backslash is all the logical line holds), else at the end of
// the text.
Size logicalEnd(const std::string& text, Size from) {
    for (Size i = from;;) {
        const Size nl = text.find('\n', i);
        if (nl == none) return text.size();
        if (nl > i && text[nl - 1] == '\\' && nl - from > 1) {
            i = nl + 1;
            continue;
        }
        return nl;
    }
}

// One entry of the list, with where its bytes lie in the text.
struct Entry {
    Size rawStart = 0;  // just after the previous separator, or the value's start
    Size rawFirst = 0;  // its first byte that is not blank (rawEnd when it is all blank)
    Size rawEnd = 0;    // its separator's backslash, or the value's end
    Size rawAfter = 0;  // just after its separator (rawEnd when it has none)
    std::string text;   // with the escapes undone
};

struct ProgramsList {
    bool found = false;
    Size valueStart = 0;  // just after the colon
    Size valueEnd = 0;    // the newline that ends the value, or the end of the text
    std::vector<Entry> entries;  // the last one may be blank (after a final separator)
};

// What an entry holds, as XScreenSaver reads it.
struct Program {
    bool enabled = true;
    std::string visual, name, command;
    bool operator==(const Program& o) const {
        return enabled == o.enabled && visual == o.visual && name == o.name && command == o.command;
    }
};

Program readEntry(const std::string& text) {
    Program p;
    Size i = 0;
    auto skipSpace = [&] {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    };
    skipSpace();
    if (i < text.size() && text[i] == '-') {
        p.enabled = false;
        ++i;
        skipSpace();
    }
    Size j = i;
    while (j < text.size() && text[j] != ':' && text[j] != '"' && !std::isspace(static_cast<unsigned char>(text[j])))
        ++j;
    if (j < text.size() && text[j] == ':') {
        p.visual = text.substr(i, j - i);
        i = j + 1;
        skipSpace();
    }
    if (i < text.size() && text[i] == '"') {
        const Size close = text.find('"', i + 1);
        const Size end = close == none ? text.size() : close;
        p.name = text.substr(i + 1, end - i - 1);
        i = close == none ? text.size() : close + 1;
        skipSpace();
    }
    p.command = trimmed(text.substr(i));
    return p;
}

bool isProgramsKey(const std::string& key, bool systemFile) {
    if (!systemFile) return lower(key) == "programs";
    return key == "*programs" || key == "XScreenSaver.programs" || key == "XScreenSaver*programs";
}

// The entries of the value [start, end): lines joined (each backslash that
// ends a physical line goes with its newline), then the escapes undone, "\n"
// separating entries.
std::vector<Entry> readEntries(const std::string& text, Size start, Size end) {
    std::string joined;
    std::vector<Size> rawOf;  // the text's offset of each joined character
    for (Size r = start; r < end; ++r) {
        if (text[r] == '\\' && r + 1 < end && text[r + 1] == '\n') {
            ++r;
            continue;
        }
        joined += text[r];
        rawOf.push_back(r);
    }
    auto raw = [&](Size j) { return j < rawOf.size() ? rawOf[j] : end; };
    std::vector<Entry> entries;
    Entry current;
    Size first = none;  // joined index of the current entry's first non-blank character
    current.rawStart = raw(0);
    auto close = [&](Size sepAt, bool hasSeparator) {
        current.rawEnd = raw(sepAt);
        current.rawFirst = first == none ? current.rawEnd : raw(first);
        current.rawAfter = hasSeparator ? raw(sepAt + 1) + 1 : current.rawEnd;
        entries.push_back(current);
        current = Entry();
        current.rawStart = raw(sepAt + 2);
        first = none;
    };
    for (Size j = 0; j < joined.size();) {
        const char c = joined[j];
        if (c == '\\' && j + 1 < joined.size() && joined[j + 1] == 'n') {
            close(j, true);
            j += 2;
            continue;
        }
        if (first == none && !isBlank(c)) first = j;
        if (c == '\\') {
            // XScreenSaver takes the next character for itself, a few of
            // them as control characters; a backslash that ends the value
            // is dropped.
            if (j + 1 < joined.size()) {
                const char next = joined[j + 1];
                current.text += next == 't' ? '\t' : next == 'r' ? '\r' : next;
            }
            j += 2;
            continue;
        }
        current.text += c;
        ++j;
    }
    close(joined.size(), false);
    return entries;
}

// Finds the list in a resource file. An error when the text cannot be read
// as one (a NUL byte, two lists); a text without a list is fine (found
// stays false).
Result<ProgramsList> parseList(const std::string& text, bool systemFile) {
    ProgramsList list;
    ProgramsList* out = &list;
    if (text.find('\0') != none) return failure("it is not a text file (it holds a NUL byte)");
    for (Size line = 0; line <= text.size();) {
        const Size end = logicalEnd(text, line);
        Size k = line;
        while (k < end && std::isspace(static_cast<unsigned char>(text[k]))) ++k;
        Size colon = k;
        while (colon < end && text[colon] != ':') ++colon;
        const bool comment = k == end || text[k] == '#' || text[k] == '!' || text[k] == ';';
        if (!comment && colon < end && isProgramsKey(text.substr(k, colon - k), systemFile)) {
            if (out->found) return failure("it holds more than one list of programs");
            out->found = true;
            out->valueStart = colon + 1;
            out->valueEnd = end;
        }
        if (end >= text.size()) break;
        line = end + 1;
    }
    if (out->found) out->entries = readEntries(text, out->valueStart, out->valueEnd);
    return list;
}

// The programs of the entries that are not blank.
std::vector<Program> programsOf(const ProgramsList& list) {
    std::vector<Program> programs;
    for (const Entry& e : list.entries)
        if (!trimmed(e.text).empty()) programs.push_back(readEntry(e.text));
    return programs;
}

bool endsWithSeparator(const ProgramsList& list) {
    // After a final separator comes a blank entry; a list of nothing but
    // blanks needs no separator either.
    const Entry& last = list.entries.back();
    return trimmed(last.text).empty();
}

ProgramsEdit refused(const std::string& reason) {
    ProgramsEdit edit;
    edit.outcome = ProgramsEdit::Outcome::Refused;
    edit.reason = reason;
    return edit;
}

ProgramsEdit unchanged() {
    ProgramsEdit edit;
    edit.outcome = ProgramsEdit::Outcome::Unchanged;
    return edit;
}

// The new text when its list reads as `expected`; else no edit, since a
// layout this does not foresee must not lose or join entries.
ProgramsEdit checked(const std::string& text, const std::vector<Program>& expected) {
    const Result<ProgramsList> list = parseList(text, false);
    if (!list || !list->found || !(programsOf(*list) == expected))
        return refused("its list of programs is laid out in a way this cannot change safely");
    ProgramsEdit edit;
    edit.outcome = ProgramsEdit::Outcome::Changed;
    edit.text = text;
    return edit;
}

// "  GL:\t\t\t\tcommand" padded to XScreenSaver's column 76, where the
// separator goes.
std::string entryLine(const std::string& visual, const std::string& command) {
    std::string line = visual.empty() ? std::string() : "  " + visual + ": ";
    Size column = line.size();
    while (column < 32) {
        line += '\t';
        column = (column / 8 + 1) * 8;
    }
    line += command;
    column += command.size();
    while (column / 8 < 72 / 8) {
        line += '\t';
        column = (column / 8 + 1) * 8;
    }
    do {
        line += ' ';
        ++column;
    } while (column < 76);
    return line;
}

}  // namespace

std::string programOfCommand(const std::string& command) {
    const std::string c = trimmed(command);
    Size end = 0;
    while (end < c.size() && !std::isspace(static_cast<unsigned char>(c[end]))) ++end;
    const std::string word = c.substr(0, end);
    const Size slash = word.rfind('/');
    return lower(slash == none ? word : word.substr(slash + 1));
}

Result<std::vector<std::string>> listPrograms(const std::string& text, bool systemFile) {
    const Result<ProgramsList> list = parseList(text, systemFile);
    if (!list) return list.error();
    if (!list->found) return failure("it holds no list of programs");
    std::vector<std::string> commands;
    for (const Program& p : programsOf(*list)) commands.push_back(p.command);
    return commands;
}

ProgramsEdit addProgram(const std::string& userText, const std::string& systemText, const std::string& visual,
                        const std::string& command) {
    const Result<ProgramsList> userList = parseList(userText, false);
    if (!userList) return refused(userList.message());
    const ProgramsList& list = *userList;
    if (!list.found) {
        const Result<ProgramsList> systemList = parseList(systemText, true);
        if (!systemList) return refused("XScreenSaver's own list cannot be read: " + systemList.message());
        const ProgramsList& system = *systemList;
        if (!system.found) return refused("XScreenSaver's own settings hold no list of programs");
        std::string base = userText;
        if (!base.empty()) base += base.back() == '\n' ? "\n" : "\n\n";
        base += "programs:" + systemText.substr(system.valueStart, system.valueEnd - system.valueStart) + "\n";
        ProgramsEdit edit = addProgram(base, systemText, visual, command);
        if (edit.outcome == ProgramsEdit::Outcome::Unchanged) return checked(base, programsOf(system));
        return edit;
    }
    const std::string program = programOfCommand(command);
    std::vector<Program> expected = programsOf(list);
    for (const Program& p : expected)
        if (programOfCommand(p.command) == program) return unchanged();
    Program added;
    added.visual = visual;
    added.command = trimmed(command);
    expected.push_back(added);

    // As XScreenSaver writes the file, every entry line ends in "\n\" and a
    // blank line ends the list: a line of the same kind goes before that
    // one, and no other byte changes. Otherwise the list's last line gets
    // the backslash that carries it on to the new last line.
    const Size nl = list.valueEnd > list.valueStart ? userText.rfind('\n', list.valueEnd - 1) : none;
    const bool lastIsContinuation = nl != none && nl >= list.valueStart;
    std::string text = userText;
    if (lastIsContinuation && allBlank(userText, nl + 1, list.valueEnd) && endsWithSeparator(list)) {
        text.insert(nl + 1, entryLine(visual, command) + "\\n\\\n");
    } else {
        const std::string separator = endsWithSeparator(list) ? "" : " \\n";
        text.insert(list.valueEnd, separator + "\\\n" + entryLine(visual, command) + "\\n");
    }
    return checked(text, expected);
}

ProgramsEdit removeProgram(const std::string& userText, const std::string& program) {
    Result<ProgramsList> userList = parseList(userText, false);
    if (!userList) return refused(userList.message());
    ProgramsList list = *userList;
    if (!list.found) return unchanged();
    std::string text = userText;
    bool changed = false;
    for (;;) {
        const Entry* found = nullptr;
        std::vector<Program> expected;
        for (const Entry& e : list.entries) {
            if (trimmed(e.text).empty()) continue;
            const Program p = readEntry(e.text);
            if (!found && programOfCommand(p.command) == lower(program))
                found = &e;
            else
                expected.push_back(p);
        }
        if (!found) break;
        const Entry& e = *found;
        // The lines that hold only this entry go whole; else only its bytes.
        const Size lineStart = e.rawFirst == 0 ? 0 : text.rfind('\n', e.rawFirst - 1) + 1;
        const Size lineEnd = std::min(text.find('\n', e.rawAfter), list.valueEnd);
        const bool aloneBefore = lineStart > list.valueStart && allBlank(text, lineStart, e.rawFirst);
        std::vector<std::string> candidates;
        if (aloneBefore && lineEnd < list.valueEnd && text[lineEnd - 1] == '\\' &&
            allBlank(text, e.rawAfter, lineEnd - 1))
            candidates.push_back(std::string(text).erase(lineStart, lineEnd + 1 - lineStart));
        if (aloneBefore && lineEnd == list.valueEnd && allBlank(text, e.rawAfter, lineEnd))
            candidates.push_back(std::string(text).erase(lineStart - 2, lineEnd - (lineStart - 2)));
        candidates.push_back(std::string(text).erase(e.rawStart, e.rawAfter - e.rawStart));
        bool done = false;
        for (const std::string& candidate : candidates) {
            if (checked(candidate, expected).outcome == ProgramsEdit::Outcome::Changed) {
                text = candidate;
                done = true;
                break;
            }
        }
        if (!done) return refused("its list of programs is laid out in a way this cannot change safely");
        changed = true;
        // The text was just checked to read as a list.
        list = *parseList(text, false);
    }
    if (!changed) return unchanged();
    ProgramsEdit edit;
    edit.outcome = ProgramsEdit::Outcome::Changed;
    edit.text = text;
    return edit;
}
