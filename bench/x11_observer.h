#pragma once
// An X client independent of the program under measurement, in a process of its own with its
// own connection: it reports every key and button (XInput2 raw events) and every pointer motion
// (XInput2 device events) with the X server's millisecond time, and on request maps a window
// that takes the keyboard focus, so the keys a measurement types go to a window that ignores
// them. The header stays free of Xlib's macros.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qb::bench {

struct Observed {
  enum Kind : std::int32_t {
    KeyDown = 1,
    KeyUp,
    ButtonDown,
    ButtonUp,
    Motion,
    Ready,
    Focused,
  };
  std::int32_t kind = 0;
  std::uint32_t serverMs = 0;  // the X server's time of the event
  std::int32_t a = 0;          // keycode, button, pointer x, or the focus window's x
  std::int32_t b = 0;          // pointer y, or the focus window's y
  std::int32_t source = 0;     // the slave device that made the event
  std::int64_t seenNs = 0;     // CLOCK_MONOTONIC when the observer read the event
};

class Observer {
 public:
  // Forks the observer on `display`. Call it before the process starts a thread or opens a
  // connection of its own.
  explicit Observer(const std::string& display);
  ~Observer();
  Observer(const Observer&) = delete;
  Observer& operator=(const Observer&) = delete;

  // Waits until the observer watches the server.
  bool waitReady(int timeoutMs);
  // Maps the focus window (once) and waits until it has the focus: its client area on the root.
  bool focusWindow(int& x, int& y, int& width, int& height, int timeoutMs);
  // What was observed since the last call, after waiting `settleMs` for stragglers.
  std::vector<Observed> take(int settleMs);

 private:
  // Reads records for up to `timeoutMs`, stopping early at one of `until` kind (0: none).
  void read(int timeoutMs, std::int32_t until);

  pid_t pid_ = -1;
  int events_ = -1;
  int commands_ = -1;
  std::vector<Observed> received_;
};

// Threads that sleep a millisecond at a time, one per processor at real-time priority, in a
// process of their own, and note each time they wake late: then the machine itself did not run
// (a virtual machine's host held it), whatever the measured program did. Call it before the
// process starts a thread.
class StallMonitor {
 public:
  struct Stall {
    std::int64_t fromNs = 0;  // CLOCK_MONOTONIC: when the thread was due to wake
    std::int64_t toNs = 0;    // when it woke
    std::int32_t cpu = 0;
    std::int32_t realTime = 0;  // the thread ran at real-time priority
  };
  // Notes wake-ups later than `thresholdNs`.
  explicit StallMonitor(std::int64_t thresholdNs);
  ~StallMonitor();
  StallMonitor(const StallMonitor&) = delete;
  StallMonitor& operator=(const StallMonitor&) = delete;

  // The stalls noted since the last call.
  std::vector<Stall> take();
  // Whether the threads got real-time priority (known after the first take()).
  bool realTime() const { return realTime_; }

 private:
  pid_t pid_ = -1;
  int stalls_ = -1;
  bool realTime_ = false;
};

}  // namespace qb::bench
