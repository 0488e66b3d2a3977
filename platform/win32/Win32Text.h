// Shared by the Windows implementation files only (and config's Windows
// dialog): text between the program's UTF-8 and the system's wide
// characters, and the system's text for an error code.
#pragma once

#include <string>

namespace platform {
namespace win32 {

// UTF-8 to UTF-16 and back; invalid sequences become U+FFFD.
std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& wide);

// One line, without the trailing full stop and line break; the number when
// the system has no text for it.
std::string errorText(unsigned long code);

}  // namespace win32
}  // namespace platform
