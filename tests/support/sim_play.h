#pragma once
// A simulated desktop with the input primitives and a plain play host, and the action log as
// "<ms> <Action> <args>" lines for comparisons.

#include <string>
#include <vector>

#include "platform/sim/sim_desktop.h"
#include "script/module_data.h"
#include "script/player.h"

namespace qb::test {

struct SimPlay {
  platform::sim::SimDesktop sim;
  ModuleData module{sim.desktop()};
  SimplePlayHost host;

  std::vector<std::string> play(const std::string& text, bool advanced = false) {
    host.setText(text);
    host.advanced = advanced;
    const auto origin = sim.loop().now();
    PlayAction(module, host);
    return logLines(origin);
  }

  std::vector<std::string> logLines(platform::Ms origin = 0) const {
    std::vector<std::string> lines;
    for (const auto& e : sim.log().entries()) {
      std::string line = platform::sim::SimLog::formatLine(e.at - origin, e.action, e.args);
      line.pop_back();  // the newline
      lines.push_back(line);
    }
    return lines;
  }
};

// Joins lines with CR LF after each, as macro texts are written.
inline std::string macro(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  return text;
}

}  // namespace qb::test
