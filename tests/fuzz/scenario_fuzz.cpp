// A scenario text parsed and run on the simulated desktop, bounded in virtual time and in
// event-loop turns. A failing step is reported on a line of the text, the run's status says
// whether one failed, time never steps back, and every key the program typed is released.
//
// Scenarios name files and folders; so that a fuzzed one stays inside its own folder, texts
// that could reach outside it (a ".." or an absolute path) are not run.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>

#include "fuzz_support.h"
#include "key_checks.h"
#include "platform/sim/sim_desktop.h"
#include "tests/scenario/scenario_runner.h"

namespace {

using qb::fuzz::printable;
using qb::fuzz::require;

constexpr std::int64_t kLastMs = 60LL * 1000;
constexpr std::uint64_t kIdleTurns = 2'000;
constexpr std::size_t kMaxSteps = 200;

// The text as the runner's escapes read it (close enough to judge paths: "\s" is a blank).
std::string unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char c = text[++i];
      out += c == 's' || c == 'r' || c == 'n' || c == 't' ? ' ' : c;
    } else {
      out += text[i];
    }
  }
  return out;
}

// Whether every path the text can name lies inside the scenario's folder (or the working
// folder, the scratch folder): no "..", and each "/" follows "{root}" or a name character.
bool staysInside(std::string_view text) {
  const std::string plain = unescaped(text);
  if (plain.find("..") != std::string::npos) return false;
  for (std::size_t i = 0; i < plain.size(); ++i) {
    if (plain[i] != '/') continue;
    if (i >= 6 && plain.compare(i - 6, 6, "{root}") == 0) continue;
    const char before = i == 0 ? ' ' : plain[i - 1];
    const bool nameChar = (before >= 'a' && before <= 'z') || (before >= 'A' && before <= 'Z') ||
                          (before >= '0' && before <= '9') || before == '_' || before == '-' ||
                          before == '.';
    if (!nameChar) return false;
  }
  return true;
}

std::size_t lineCount(std::string_view text) {
  std::size_t lines = 1;
  for (const char c : text) lines += c == '\n';
  return lines;
}

// What the run left on the simulated desktop.
struct Outcome {
  std::vector<qb::platform::sim::SentKeys> sent;
  std::vector<qb::platform::sim::LoggedAction> log;
  qb::platform::Ms now = 0;
};

void checkRun(const std::string& text, const std::vector<qb::scenario::Step>& steps, int status,
              const std::string& transcript, const Outcome& sim) {
  const std::string shown = printable(text.substr(0, 300));
  int previous = 0;
  for (const auto& step : steps) {
    require(
        step.lineNumber > previous && static_cast<std::size_t>(step.lineNumber) <= lineCount(text),
        "a step's line number is outside the text or out of order", shown);
    require(!step.verb.empty(), "a step without a verb", shown);
    previous = step.lineNumber;
  }

  require(status == 0 || status == 2, "the run ends with an unknown status", shown);
  // A failed step is reported with its line (a failure inside a dialog may be followed by what
  // the program did as the dialog closed), and only a failed run reports one.
  std::vector<long> errorLines;
  for (auto at = transcript.find("error on line "); at != std::string::npos;
       at = transcript.find("error on line ", at + 1))
    if (at == 0 || transcript[at - 1] == '\n' ||
        (at >= 3 && transcript.compare(at - 3, 3, " = ") == 0))
      errorLines.push_back(std::strtol(transcript.c_str() + at + 14, nullptr, 10));
  require((status == 2) == !errorLines.empty(), "the status and the transcript disagree",
          "status " + std::to_string(status) + " for " + shown);
  for (const long line : errorLines) {
    bool isStep = false;
    for (const auto& step : steps) isStep = isStep || step.lineNumber == line;
    require(isStep, "an error is reported on a line that holds no step",
            std::to_string(line) + " in " + shown);
  }

  std::map<std::uint16_t, int> held;
  for (const auto& sent : sim.sent) {
    const std::string wrong = qb::fuzz::applyKeys(sent.keys, held);
    require(wrong.empty(), "unbalanced keys sent", wrong);
  }
  const std::string left = qb::fuzz::stillHeld(held);
  require(left.empty(), "keys left pressed after the scenario", left + shown);

  qb::platform::Ms last = 0;
  for (const auto& e : sim.log) {
    require(e.at >= last, "the action log steps back in time", shown);
    last = e.at;
  }
  require(sim.now <= kLastMs, "virtual time passed its bound", shown);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qb::fuzz::enterScratchFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (!staysInside(text)) return -1;  // not added to the corpus
  const auto steps = qb::scenario::parseScenario(text);
  if (steps.size() > kMaxSteps) return -1;

  const std::string root = qb::fuzz::scratchFolder() + "/scenario";
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
  std::ostringstream out;
  Outcome outcome;
  const int status = qb::scenario::runScenario(
      steps, root, out, qb::scenario::RunLimits{kLastMs, kIdleTurns},
      [&outcome](qb::platform::sim::SimDesktop& sim) {
        outcome = Outcome{sim.sentKeys(), sim.log().entries(), sim.loop().now()};
      });
  checkRun(text, steps, status, out.str(), outcome);
  return 0;
}
