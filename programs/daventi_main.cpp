// The recorder program. Built twice: daventi, and tapbolt with QB_STAND_ALONE_BUILD=1, the stub
// every stand-alone macro program is a copy of.

#include <iostream>
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
  if (kStandAloneBuild) {
    qb::DryRunOptions named;
    if (qb::parseDryRunOptions(args, named)) {
      std::vector<std::string> withSelf = args;
      withSelf.push_back(self);
      qb::DryRunOptions own;
      if (!qb::parseDryRunOptions(withSelf, own)) return qb::dryRunStandAlone(self, own, std::cout);
    }
  }
  return qb::dryRunMain(args, std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
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
  std::cerr << "This build has no desktop backend; the dry run plays on the simulated desktop.\n"
            << "usage: " << name << " --dry-run MACRO-FILE [--advanced|--recorded] [OPTIONS]\n";
  if (kStandAloneBuild)
    std::cerr << "       " << name << " --dry-run [OPTIONS]   plays this program's own macro\n";
  std::cerr << "OPTIONS: [--foreground TITLE] [--foreground-at MS TITLE] [--window TITLE]\n"
               "         [--stop-at MS] [--max-ms MS] [--max-idle-turns N]\n";
  return 1;
#endif
}
