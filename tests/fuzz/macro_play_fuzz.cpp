// A macro text played on the simulated desktop, as a recorded or an advanced macro, with or
// without the Break key pressed during the play. The play is bounded (virtual time, event-loop
// turns, played lines, typed keys), so an endless "loop:infinite" ends too.
//
// Input: one byte of options, one byte for the moment of the Break key, then the macro text.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "fuzz_support.h"
#include "key_checks.h"
#include "platform/sim/sim_desktop.h"
#include "script/module_data.h"
#include "script/player.h"
#include "script/send_keys.h"

namespace {

using qb::fuzz::printable;
using qb::fuzz::require;

constexpr qb::platform::Ms kLastMs = 10LL * 60 * 1000;
constexpr std::uint64_t kIdleTurns = 2'000;
constexpr int kMaxStopChecks = 5'000;
constexpr std::size_t kMaxKeySteps = 2'000'000;

// The window's stop request, which the executors ask before every line and while they wait
// for a window: it also ends a play that has run its share of lines or typed its share of keys.
class BoundedHost final : public qb::SimplePlayHost {
 public:
  explicit BoundedHost(qb::platform::sim::SimDesktop& sim) : sim_(sim) {}
  bool stopRequested() override {
    if (stop) return true;
    if (++checks_ > kMaxStopChecks || keySteps() > kMaxKeySteps) stop = bounded = true;
    return stop;
  }
  bool bounded = false;

 private:
  std::size_t keySteps() {
    for (; counted_ < sim_.sentKeys().size(); ++counted_)
      steps_ += sim_.sentKeys()[counted_].keys.size();
    return steps_;
  }
  qb::platform::sim::SimDesktop& sim_;
  int checks_ = 0;
  std::size_t counted_ = 0;
  std::size_t steps_ = 0;
};

void checkPlay(const std::string& text, qb::platform::sim::SimDesktop& sim, BoundedHost& host) {
  const std::string shown = printable(text.substr(0, 200));

  // The player sends only key strings of the grammar, exactly as they parse, and releases every
  // key it presses.
  std::map<std::uint16_t, int> held;
  for (const auto& sent : sim.sentKeys()) {
    const qb::ParsedKeys parsed = qb::parseKeyString(sent.text);
    require(parsed.ok(), "a malformed key string was sent", printable(sent.text));
    require(*parsed == sent.keys, "keys sent differ from their key string", printable(sent.text));
    const std::string wrong = qb::fuzz::applyKeys(sent.keys, held);
    require(wrong.empty(), "unbalanced keys sent", wrong);
  }
  const std::string left = qb::fuzz::stillHeld(held);
  require(left.empty(), "keys left pressed after the play", left + "macro: " + shown);

  // A stopped play lets go of the mouse buttons it held.
  if (host.stop || sim.loop().quitting())
    require(!sim.buttonDown(qb::platform::MouseButton::Left) &&
                !sim.buttonDown(qb::platform::MouseButton::Right),
            "a stopped play left a mouse button down", shown);
  require(host.playingMark.empty(), "the playing mark stays after the play", shown);

  // Virtual time never steps back or past its bound, and the cursor is where the last move put
  // it.
  qb::platform::Ms last = 0;
  const qb::platform::sim::LoggedAction* lastMove = nullptr;
  for (const auto& e : sim.log().entries()) {
    require(e.at >= last, "the action log steps back in time", shown);
    require(e.at <= kLastMs, "an action after the virtual time bound", shown);
    last = e.at;
    if (e.action == "SetMousePos") lastMove = &e;
  }
  if (lastMove) {
    const auto cursor = sim.cursor();
    require(lastMove->args == std::to_string(cursor.x) + " " + std::to_string(cursor.y),
            "the cursor is not where the last move put it",
            lastMove->args + " vs " + std::to_string(cursor.x) + " " + std::to_string(cursor.y));
  }
  if (text.empty())
    require(sim.messages().size() == 1 && sim.sentKeys().empty(),
            "an empty macro is not refused with one message");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // "filedata=data.txt" reads a file of the scratch folder.
  qb::fuzz::enterScratchFolder();
  std::ofstream("data.txt", std::ios::binary) << "first{ENTER}\r\n+(second)\r\n{TAB 2}third\r\n";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::uint8_t options = input.ConsumeIntegral<std::uint8_t>();
  const std::uint8_t breakAt = input.ConsumeIntegral<std::uint8_t>();
  const std::string text = input.ConsumeRemainingBytesAsString();

  qb::platform::sim::SimDesktop sim;
  sim.loop().setBounds(kLastMs, kIdleTurns);
  sim.addWindow("Notepad");
  sim.addWindow("Untitled - Editor");
  sim.setForeground((options & 4) ? "Untitled - Editor" : "Notepad");
  if (options & 8) sim.setForegroundAt(1000, "Notepad");
  if (options & 16) sim.setTypingTime(options >> 5);

  qb::ModuleData module(sim.desktop());
  BoundedHost host(sim);
  host.setText(text);
  host.advanced = options & 1;
  if (options & 2) sim.loop().at(breakAt * 50LL, [&host] { host.stop = true; });

  qb::PlayAction(module, host);
  checkPlay(text, sim, host);
  return 0;
}
