#pragma once
// Runs the recorder program on the simulated desktop from a plain-text scenario and writes
// what happened: the steps, the action log, and whatever the scenario asks to print.

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace qb::scenario {

struct Step {
  int lineNumber = 0;
  std::string verb;
  std::string rest;  // everything after the verb, verbatim
};

std::vector<Step> parseScenario(const std::string& text);

// Runs the steps in a fresh folder `root` (the program's own folder is root/prog). Returns 0,
// or 2 when a step cannot be carried out.
int runScenario(const std::vector<Step>& steps, const std::string& root, std::ostream& out);

}  // namespace qb::scenario
