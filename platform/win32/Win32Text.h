// Shared by the Windows implementation files only: the system's text for an
// error code.
#pragma once

#include <string>

namespace platform {
namespace win32 {

// One line, without the trailing full stop and line break; the number when
// the system has no text for it.
std::string errorText(unsigned long code);

}  // namespace win32
}  // namespace platform
