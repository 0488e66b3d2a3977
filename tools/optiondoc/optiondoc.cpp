// optiondoc PROGRAM TEMPLATE OUTPUT
// Copies the man page TEMPLATE to OUTPUT with the line that holds only
// the marker
//   .\" OPTION-TABLE
// replaced by the option list of PROGRAM ("screensaver" or "settings"),
// one entry per row of the option table that the program takes.
#include "formats/CommandLine.h"
#include "formats/Options.h"
#include "platform/Platform.h"

#include <string>
#include <vector>

namespace {

const char* const marker = ".\\\" OPTION-TABLE";

// Text for roff: hyphens as minus signs (what the user types), backslashes
// doubled, and no line starting with a control character.
std::string roff(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '-') out += "\\-";
        else out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

std::string entries(OptionUser user) {
    std::string out;
    for (const OptionRow& row : optionTable()) {
        if (!takenBy(row, user)) continue;
        out += ".TP\n.B " + roff(optionSpelling(row, user)) + "\n";
        std::string text = optionHelp(row);
        const std::string fallback = optionDefault(row);
        if (!fallback.empty()) text += " (default: " + fallback + ")";
        text += ".";
        if (row.details) text += std::string(" ") + row.details;
        out += roff(text) + "\n";
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    platform::setProgramName(argc > 0 ? argv[0] : nullptr, "optiondoc");
    if (argc != 4) return reportUsageError("needs PROGRAM TEMPLATE OUTPUT");
    const std::string program = argv[1];
    if (program != "screensaver" && program != "settings")
        return reportUsageError("PROGRAM is screensaver or settings, not '" + program + "'");
    const OptionUser user = program == "screensaver" ? OptionUser::Screensaver : OptionUser::SettingsProgram;
    const Result<std::vector<unsigned char>> bytes = platform::readRegularFile(argv[2]);
    if (!bytes) {
        platform::showFatalError(std::string(argv[2]) + ": " + bytes.message());
        return 1;
    }
    const std::string page(bytes->begin(), bytes->end());
    const std::string line = std::string(marker) + "\n";
    const std::string::size_type at = page.find(line);
    if (at == std::string::npos || (at > 0 && page[at - 1] != '\n')) {
        platform::showFatalError(std::string(argv[2]) + ": no line '" + marker + "'");
        return 1;
    }
    const std::string filled = page.substr(0, at) + entries(user) + page.substr(at + line.size());
    const Result<void> written =
        platform::replaceFile(argv[3], reinterpret_cast<const unsigned char*>(filled.data()), filled.size());
    if (!written) {
        platform::showFatalError(written.message());
        return 1;
    }
    return 0;
}
