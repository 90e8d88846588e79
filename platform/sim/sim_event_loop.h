#pragma once
#include <cstdint>
#include <functional>
#include <queue>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/clock.h"
#include "platform/event_loop.h"

namespace qb::platform::sim {

// Why the loop stopped: the program left by itself, or a bound ended a program that could not.
enum class QuitReason {
  None,              // still running
  ProgramLeft,       // the program called quit()
  TimeBound,         // virtual time reached its last moment
  IdleBound,         // the loop turned too often without virtual time passing
  ModalWithoutStep,  // a modal window stayed open and the modal pump had no step left
  ModalLeftOpen,     // a modal window stayed open with nothing queued to close it
};

// A virtual millisecond clock and an event loop over a queue of scripted events, timers and
// posted tasks, delivered in time order. Waiting advances the clock at once, so a ten-second
// pause costs nothing. Two bounds stop a program that can never end: a last virtual time,
// and a number of yields without the clock moving.
class SimEventLoop final : public Clock, public EventLoop {
 public:
  Ms now() const override { return now_; }
  std::int64_t wallSeconds() const override { return wallBase_ + now_ / 1000; }

  void yield() override;
  void waitUntil(Ms deadline) override;
  void post(std::function<void()> task) override;
  TimerId startTimer(Ms interval, std::function<void()> tick) override;
  void stopTimer(TimerId id) override;
  void runModal(const std::function<bool()>& open) override;
  bool quitting() const override { return quitting_; }
  void quit() override;

  // Scripting.
  void at(Ms when, std::function<void()> event);
  // Lets virtual time pass up to `until`, delivering what falls due.
  void runUntil(Ms until) { waitUntil(until); }
  void setBounds(Ms lastTime, std::uint64_t idleYields);
  void setWallBase(std::int64_t seconds) { wallBase_ = seconds; }
  // What a modal window waits for: a test or scenario supplies the user's next step. It
  // returns false when it has none left.
  void setModalPump(std::function<bool()> pump) { modalPump_ = std::move(pump); }
  QuitReason quitReason() const { return quitReason_; }
  // The reason in words, with the bound it reached, as the dry runs print it.
  std::string quitReasonText() const;
  bool timerActive(TimerId id) const { return timers_.count(id) != 0; }

 private:
  struct Entry {
    Ms when;
    std::uint64_t seq;
    std::function<void()> fn;
    TimerId timer;
  };
  struct Later {
    bool operator()(const Entry& a, const Entry& b) const {
      return a.when != b.when ? a.when > b.when : a.seq > b.seq;
    }
  };
  struct Timer {
    Ms interval;
    std::function<void()> tick;
    bool running = false;
  };

  void schedule(Ms when, std::function<void()> fn, TimerId timer);
  void runEntry(Entry entry);
  void quitWith(QuitReason reason);

  Ms now_ = 0;
  std::int64_t wallBase_ = 1'800'000'000;
  std::uint64_t seq_ = 0;
  std::priority_queue<Entry, std::vector<Entry>, Later> queue_;
  std::unordered_map<TimerId, Timer> timers_;
  TimerId nextTimer_ = 1;
  std::function<bool()> modalPump_;
  bool quitting_ = false;
  QuitReason quitReason_ = QuitReason::None;
  Ms lastTime_ = INT64_MAX / 4;
  std::uint64_t idleYieldLimit_ = UINT64_MAX;
  std::uint64_t idleYields_ = 0;
  Ms idleSince_ = 0;
};

}  // namespace qb::platform::sim
