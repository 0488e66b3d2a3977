// Feeds arbitrary text to the XScreenSaver list editor, as a user's file and
// as the system's app-defaults (split at the first NUL byte): it must never
// read past its input, an entry it adds must be on the list afterwards, and
// removing it must give back the list the user had.
#include "formats/XScreenSaverPrograms.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> commandsOf(const std::string& text) {
    Result<std::vector<std::string>> commands = listPrograms(text, false);
    return commands ? *commands : std::vector<std::string>();
}

bool listsQuessanta(const std::string& text) {
    for (const std::string& c : commandsOf(text))
        if (programOfCommand(c) == "quessanta") return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string::size_type split = std::min(input.find('\0'), input.size());
    const std::string user = input.substr(0, split);
    const std::string system = split < input.size() ? input.substr(split + 1) : std::string();

    const ProgramsEdit add = addProgram(user, system, "GL", "quessanta --root");
    if (add.outcome != ProgramsEdit::Outcome::Changed) return 0;
    if (!listsQuessanta(add.text)) std::abort();
    const ProgramsEdit remove = removeProgram(add.text, "quessanta");
    if (remove.outcome != ProgramsEdit::Outcome::Changed || listsQuessanta(remove.text)) std::abort();
    // A list the user had is back as it was.
    const Result<std::vector<std::string>> before = listPrograms(user, false);
    if (before && commandsOf(remove.text) != *before) std::abort();
    return 0;
}
