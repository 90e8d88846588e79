// The recorder program. Built twice: daventi, and tapbolt with QB_STAND_ALONE_BUILD=1, the stub
// every stand-alone macro program is a copy of.

#include <cstdio>
#include <string>
#include <vector>

#include "app/dry_run.h"
#include "programs/own_executable.h"
#if QB_HAVE_DESKTOP
#include "ui/desktop_app.h"
#endif

#ifndef QB_STAND_ALONE_BUILD
#error "QB_STAND_ALONE_BUILD must be defined to 0 or 1"
#endif

namespace {

constexpr bool kStandAloneBuild = QB_STAND_ALONE_BUILD != 0;

// A stand-alone program given "--dry-run" without a macro file plays its own macro. Options
// that are incomplete without a file read as complete once the own file is the file.
int dryRun(const std::vector<std::string>& args, const std::string& self) {
  qb::FileSink out(stdout), errors(stderr);
  if (kStandAloneBuild) {
    qb::DryRunOptions named;
    if (qb::parseDryRunOptions(args, named)) {
      std::vector<std::string> withSelf = args;
      withSelf.push_back(self);
      qb::DryRunOptions own;
      if (!qb::parseDryRunOptions(withSelf, own)) return qb::dryRunStandAlone(self, own, out);
    }
  }
  return qb::dryRunMain(args, out, errors);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  for (const auto& a : args)
    if (a == "--dry-run") {
      qb::useStartingConsole();
      return dryRun(args, qb::ownExecutablePath(argc > 0 ? argv[0] : nullptr));
    }
#if QB_HAVE_DESKTOP
  return qb::ui::runRecorder(argc, argv, kStandAloneBuild);
#else
  qb::useStartingConsole();
  const std::string name = kStandAloneBuild ? "tapbolt" : "daventi";
  qb::FileSink errors(stderr);
  errors << "This build has no desktop backend; the dry run plays on the simulated desktop.\n"
         << "usage: " << name << " --dry-run MACRO-FILE [--advanced|--recorded] [OPTIONS]\n";
  if (kStandAloneBuild)
    errors << "       " << name << " --dry-run [OPTIONS]   plays this program's own macro\n";
  errors << "OPTIONS: [--foreground TITLE] [--foreground-at MS TITLE] [--window TITLE]\n"
            "         [--stop-at MS] [--max-ms MS] [--max-idle-turns N]\n";
  return 1;
#endif
}
