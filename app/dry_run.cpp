#include "app/dry_run.h"

#include <utility>

#include "app/program.h"
#include "common/file_io.h"
#include "common/text.h"
#include "platform/sim/sim_desktop.h"
#include "script/module_data.h"
#include "script/player.h"
#include "standalone/stand_alone_dry_run.h"

namespace qb {
namespace {

std::string baseName(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The stub build of the program, as the stand-alone dry run drives it.
class StubProgram : public StandAloneProgram {
 public:
  explicit StubProgram(platform::Desktop& desktop)
      : program_(desktop, ProgramConfig{.standAloneBuild = true}) {}
  void startUp() override { program_.startUp(); }
  int exitStatus() override { return program_.exitStatus(); }

 private:
  Program program_;
};

}  // namespace

int dryRunStandAlone(const std::string& ownPath, const DryRunOptions& options, TextSink& out) {
  return standAloneDryRun(ownPath, options, out, [](platform::Desktop& desktop) {
    return std::make_unique<StubProgram>(desktop);
  });
}

int dryRunText(std::string text, bool advanced, const DryRunOptions& options, TextSink& out) {
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

  ModuleData module(sim.desktop());
  SimplePlayHost host;
  host.setText(std::move(text));
  host.advanced = advanced;
  if (options.stopAt) sim.loop().at(*options.stopAt, [&host] { host.stop = true; });

  PlayAction(module, host);
  if (sim.loop().quitting()) {
    out << platform::sim::SimLog::formatLine(sim.loop().now(), "Ended",
                                             "at the bound: " + sim.loop().quitReasonText());
    return 3;
  }
  return 0;
}

int dryRunMain(const std::vector<std::string>& args, TextSink& out, TextSink& err) {
  DryRunOptions options;
  if (const auto problem = parseDryRunOptions(args, options)) {
    err << "daventi: " << *problem << "\n";
    return 1;
  }
  auto text = readWholeFile(options.file);
  if (!text) {
    err << "daventi: cannot read the macro file " << text.message() << "\n";
    return 1;
  }
  const bool advanced =
      options.advanced.value_or(startsWithNoCase(baseName(options.file), "Macro-AM-"));
  return dryRunText(std::move(*text), advanced, options, out);
}

}  // namespace qb
