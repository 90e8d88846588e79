#pragma once
// Reading the desktop entries Quillbarrow writes: the keys of the [Desktop Entry] group, and
// the Exec line split into the program's arguments, as a freedesktop launcher does.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace qb::platform::x11 {

// The keys of the [Desktop Entry] group with their string values unescaped (\s \n \t \r \\).
// Localised keys ("Name[de]") are kept under their full name; other groups are ignored.
std::map<std::string, std::string> desktopEntryKeys(std::string_view text);

// A string value with its escapes resolved.
std::string unescapeDesktopValue(std::string_view value);

// The arguments of an (unescaped) Exec value: blanks separate them; inside double quotes a
// backslash escapes " ` $ and \; "%%" is a '%' and the other field codes (%f, %U, %k, ...)
// are dropped, since a hot key opens no file. Fails on an unclosed quote.
Result<std::vector<std::string>> desktopExecArguments(std::string_view exec);

}  // namespace qb::platform::x11
