#pragma once
// "--dry-run" in a stand-alone program: the stub's own start-up, on the simulated desktop,
// plays the macro appended to the program's file and prints every action as the dry run does.

#include <iosfwd>
#include <string>

#include "app/dry_run.h"

namespace qb {

// Returns the exit status: 0 when the play ended by itself, 1 when the program file cannot be
// read or carries no macro, 3 when the play had to be ended at the bound.
int standAloneDryRun(const std::string& ownPath, const DryRunOptions& options, std::ostream& out);

}  // namespace qb
