#pragma once
// Text crosses into Win32 as UTF-16: paths, window titles, command lines and registry names.
// The core keeps UTF-8; these convert at the boundary.

#include <string>
#include <string_view>

namespace qb::platform::win32 {

std::wstring toWide(std::string_view utf8);
// Unpaired surrogates become U+FFFD, as the system's own conversion makes them.
std::string toUtf8(std::wstring_view utf16);

}  // namespace qb::platform::win32
