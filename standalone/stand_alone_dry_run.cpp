#include "standalone/stand_alone_dry_run.h"

#include "platform/sim/sim_desktop.h"
#include "platform/virtual_keys.h"

namespace qb {

namespace {
namespace vk = platform::vk;
}  // namespace

int standAloneDryRun(const std::string& ownPath, const DryRunOptions& options, TextSink& out,
                     const StandAloneProgramMaker& makeProgram) {
  platform::sim::SimDesktop sim;
  sim.loop().setBounds(options.lastMs, static_cast<std::uint64_t>(options.idleTurns));
  sim.log().streamTo(&out, 0);
  sim.setKeepHistory(false);
  for (const auto& [ms, title] : options.foreground) {
    if (ms == 0)
      sim.setForeground(title);
    else
      sim.setForegroundAt(ms, title);
  }
  for (const auto& w : options.windows) sim.addWindow(w);
  sim.setExecutablePath(ownPath);

  const std::unique_ptr<StandAloneProgram> program = makeProgram(sim.desktop());
  // The Break key, through the program's own keyboard hook.
  if (options.stopAt)
    sim.loop().at(*options.stopAt, [&sim] {
      sim.pressKey({vk::Pause, 0, 0, 0, 0});
      sim.pressKey({vk::Pause, 0, platform::kHookUp, 0, 0});
    });
  program->startUp();
  // A program that left by itself ended its play; any other reason is a bound.
  if (sim.loop().quitReason() != platform::sim::QuitReason::ProgramLeft) {
    out << platform::sim::SimLog::formatLine(sim.loop().now(), "Ended",
                                             "at the bound: " + sim.loop().quitReasonText());
    return 3;
  }
  return program->exitStatus();
}

}  // namespace qb
