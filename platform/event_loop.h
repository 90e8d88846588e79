#pragma once
#include <cstdint>
#include <functional>

#include "platform/clock.h"

namespace qb::platform {

using TimerId = std::uint64_t;

// The single-threaded event loop. Long work runs inside a handler and keeps the loop turning
// through yield() and waitUntil(); other handlers (the keyboard hook, timers, buttons) run
// nested inside those calls.
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Delivers what is pending now (input, timers, posted tasks), then returns.
  virtual void yield() = 0;
  // Delivers events as they come and returns at `deadline` (or earlier when quitting). Never
  // spins: it blocks in the system's event wait between events.
  virtual void waitUntil(Ms deadline) = 0;
  // Runs `task` after the current handler returns, in posting order.
  virtual void post(std::function<void()> task) = 0;
  virtual TimerId startTimer(Ms interval, std::function<void()> tick) = 0;
  virtual void stopTimer(TimerId id) = 0;
  // Turns the loop while `open` says a modal window is still open (a nested event loop).
  virtual void runModal(const std::function<bool()>& open) = 0;
  // True once the program is leaving: every wait and every play ends.
  virtual bool quitting() const = 0;
  virtual void quit() = 0;
};

}  // namespace qb::platform
