#pragma once
// "--dry-run": plays a macro on the simulated desktop and prints every action as
// "<ms> <Action> <args>", ms counted in virtual milliseconds from the start of the play.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace qb {

struct DryRunOptions {
  std::string file;
  std::optional<bool> advanced;  // forced executor; else chosen by the file name
  std::vector<std::pair<long long, std::string>> foreground;  // from ms on, this title
  std::vector<std::string> windows;
  std::optional<long long> stopAt;
  long long lastMs = 24LL * 60 * 60 * 1000;
  // Turns of the event loop without virtual time passing before a play counts as endless.
  long long idleTurns = 10'000'000;
};

// Reads the dry-run options out of the command line's arguments. Returns an error text when an
// option is incomplete or unknown.
std::optional<std::string> parseDryRunOptions(const std::vector<std::string>& args,
                                              DryRunOptions& options);

// Plays `text` and prints the actions to `out`. Returns the exit status: 0 when the play ended
// by itself, 3 when it had to be ended at the bound.
int dryRunText(std::string text, bool advanced, const DryRunOptions& options, std::ostream& out);

// The whole dry-run command: reads the file, chooses the executor, plays. 1 for an unreadable
// file or a bad option.
int dryRunMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qb
