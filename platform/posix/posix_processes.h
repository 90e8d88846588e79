#pragma once
#include <string>
#include <vector>

#include "platform/windows.h"

namespace qb::platform::x11 {

// The program file an argument names: itself when it contains a slash, else the first
// executable file of that name on $PATH. Fails when there is none.
Result<std::string> findProgram(const std::string& name);

// Starts a program with these arguments in a session of its own, not waiting for it and
// leaving no zombie behind (the intermediate child is reaped at once), in `workingFolder` when
// one is given. Fails with the reason when the program cannot be found or executed, or the
// folder cannot be entered.
Result<> spawnDetached(const std::vector<std::string>& argv, const std::string& workingFolder = {});

// Sets an environment variable this program needs for itself when the user has not set it.
// Programs it starts do not inherit a value set this way: they get the user's environment as it
// was (a program started from a macro must not be told to use our Qt platform, say).
void setOwnDefaultEnvironment(const char* name, const char* value);

// The environment programs are started with: this process's, less the values it set for itself.
std::vector<std::string> childEnvironment();

// Runs command lines without a shell: they are split as a shell would split them. A command
// line naming one file that is not a program (a document, a folder) opens it with xdg-open, as
// the desktop would on a double click.
class PosixProcesses final : public Processes {
 public:
  Result<> start(std::string_view commandLine) override;
};

}  // namespace qb::platform::x11
