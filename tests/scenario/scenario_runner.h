#pragma once
// Runs the recorder program on the simulated desktop from a plain-text scenario and writes
// what happened: the steps, the action log, and whatever the scenario asks to print.

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace qb::platform::sim {
class SimDesktop;
}

namespace qb::scenario {

struct Step {
  int lineNumber = 0;
  std::string verb;
  std::string rest;  // everything after the verb, verbatim
};

std::vector<Step> parseScenario(const std::string& text);

// Bounds for a scenario that may never end by itself (a fuzzed one): the simulated desktop's
// last virtual time and its event-loop turns without time passing. None by default.
struct RunLimits {
  std::int64_t lastTime = INT64_MAX / 4;
  std::uint64_t idleTurns = UINT64_MAX;
};

// Runs the steps in a fresh folder `root` (the program's own folder is root/prog). Returns 0,
// or 2 when a step cannot be carried out. `atEnd` sees the simulated desktop after the last step.
int runScenario(const std::vector<Step>& steps, const std::string& root, std::ostream& out,
                const RunLimits& limits = {},
                const std::function<void(platform::sim::SimDesktop&)>& atEnd = {});

}  // namespace qb::scenario
