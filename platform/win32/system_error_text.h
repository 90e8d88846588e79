#pragma once
#include <string>

namespace qb::platform::win32 {

// The system's words for an error code (GetLastError, a registry call's answer), without the
// trailing line break.
std::string systemErrorText(unsigned long code);

}  // namespace qb::platform::win32
