#pragma once
// "--dry-run": plays a macro on the simulated desktop and prints every action as
// "<ms> <Action> <args>", ms counted in virtual milliseconds from the start of the play.

#include <optional>
#include <string>
#include <vector>

#include "common/text_sink.h"
#include "script/dry_run_options.h"

namespace qb {

// Plays `text` and prints the actions to `out`. Returns the exit status: 0 when the play ended
// by itself, 3 when it had to be ended at the bound.
int dryRunText(std::string text, bool advanced, const DryRunOptions& options, TextSink& out);

// The whole dry-run command: reads the file, chooses the executor, plays. 1 for an unreadable
// file or a bad option.
int dryRunMain(const std::vector<std::string>& args, TextSink& out, TextSink& err);

// "--dry-run" in a stand-alone program: the stub's own start-up plays the macro appended to
// `ownPath` on the simulated desktop (standalone/stand_alone_dry_run.h).
int dryRunStandAlone(const std::string& ownPath, const DryRunOptions& options, TextSink& out);

}  // namespace qb
