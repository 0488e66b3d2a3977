// The program's name and the warning handler: the parts of the message path
// every system shares (showFatalError, which differs, is in each port).
#include "platform/Platform.h"

#include <cstdio>

namespace platform {

namespace {

struct MessageState {
    std::string name = "quessanta";
    WarningHandler warningHandler = nullptr;
};

MessageState state;

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
    state.name = called.empty() ? fallback : called;
}

const std::string& programName() { return state.name; }

void setWarningHandler(WarningHandler handler) { state.warningHandler = handler; }

void warn(const std::string& line) {
    if (state.warningHandler) {
        state.warningHandler(line);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", state.name.c_str(), line.c_str());
    std::fflush(stderr);
}

}  // namespace platform
