#pragma once
// Files that ship beside the running program: its folder, the help page.

#include <string>

#include "platform/shell.h"

namespace qb {

std::string ownFolder(platform::Environment& environment);
// The folder new files of the user's go to: the program's own folder where the user can write
// there (a copy unpacked by hand), else `subfolder` of the user's data folder, made on first
// use (an installed copy, whose folder belongs to the system). The own folder when neither can
// be written, so a failure later names it.
std::string writableFolder(platform::Environment& environment, std::string_view subfolder);
inline constexpr std::string_view kMacroSubfolder = "macros";
inline constexpr std::string_view kProgramSubfolder = "programs";
// The help page beside the programs, as an address the browser opens.
std::string helpPageAddress(platform::Environment& environment);

}  // namespace qb
