#pragma once
// Files that ship beside the running program: its folder, the help page.

#include <string>

#include "platform/shell.h"

namespace qb {

std::string ownFolder(platform::Environment& environment);
// The help page beside the programs, as an address the browser opens.
std::string helpPageAddress(platform::Environment& environment);

}  // namespace qb
