#pragma once
// The running program's own file, for the programs' entry points until a desktop backend
// reports it.

#include <string>

namespace qb {

// On Linux the file /proc/self/exe points at; on Windows the module's file name; elsewhere
// `argv0` made absolute.
std::string ownExecutablePath(const char* argv0);

// A program without a console of its own (a Windows program) writes its standard output and
// errors to the console it was started from, when they go nowhere else; elsewhere nothing.
void useStartingConsole();

}  // namespace qb
