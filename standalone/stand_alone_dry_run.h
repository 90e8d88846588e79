#pragma once
// "--dry-run" in a stand-alone program: the stub's own start-up, on the simulated desktop,
// plays the macro appended to the program's file and prints every action as the dry run does.

#include <functional>
#include <memory>
#include <string>

#include "common/text_sink.h"
#include "platform/desktop.h"
#include "script/dry_run_options.h"

namespace qb {

// The stub program as the dry run drives it: the program (app/) provides it, made on the
// simulated desktop; start-up plays the appended macro and leaves.
class StandAloneProgram {
 public:
  virtual ~StandAloneProgram() = default;
  virtual void startUp() = 0;
  virtual int exitStatus() = 0;
};
using StandAloneProgramMaker =
    std::function<std::unique_ptr<StandAloneProgram>(platform::Desktop& desktop)>;

// Returns the exit status: 0 when the play ended by itself, 1 when the program file cannot be
// read or carries no macro, 3 when the play had to be ended at the bound.
int standAloneDryRun(const std::string& ownPath, const DryRunOptions& options, TextSink& out,
                     const StandAloneProgramMaker& makeProgram);

}  // namespace qb
