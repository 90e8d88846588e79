#pragma once
// The file writes the kill trials interrupt, each driven the way a user drives it: the recorder
// on the simulated desktop (its windows' buttons) or the settings store the desktop programs
// open, writing in a trial's folder.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace qb::kill {

struct Operation {
  std::string name;
  std::string target;  // the file the operation rewrites, in the trial's folder
  bool executable = false;
  // The state before: the target's old content and whatever else the operation reads.
  std::function<void(const std::string& folder, std::size_t bytes)> prepare;
  // In the child process: sets the program up as the user has it, calls `ready` just before
  // the operation's own click and then performs it. False when the program said it failed.
  std::function<bool(const std::string& folder, std::size_t bytes,
                     const std::function<void()>& ready)>
      perform;
  // The next start of the program that writes there: what it does at start in that folder.
  std::function<void(const std::string& folder)> nextStart;
};

std::vector<Operation> operations();

}  // namespace qb::kill
