#pragma once
// The running program's own file, for the programs' entry points until a desktop backend
// reports it.

#include <string>

namespace qb {

// On Linux the file /proc/self/exe points at; on Windows the module's file name; elsewhere
// `argv0` made absolute.
std::string ownExecutablePath(const char* argv0);

}  // namespace qb
