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
// At a program's start: removes what writes cut short (a program killed, the machine switched
// off) left in the folders the programs write in: `macroFolder`, the programs' own folder and
// the user's macro and program folders. What other running programs are writing stays.
void removeInterruptedWrites(platform::Environment& environment, const std::string& macroFolder);
// The help page beside the programs, as an address the browser opens.
std::string helpPageAddress(platform::Environment& environment);

}  // namespace qb
