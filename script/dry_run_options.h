#pragma once
// The options of "--dry-run": the macro file, the executor, the simulated desktop's windows and
// the bounds that end an endless play.

#include <optional>
#include <string>
#include <utility>
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

}  // namespace qb
