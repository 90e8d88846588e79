#pragma once
// The event loop on Qt's: the program's QApplication must exist before it is used.

#include <memory>
#include <unordered_map>

#include "platform/event_loop.h"

class QObject;
class QTimer;

namespace qb::platform::x11 {

class QtEventLoop final : public EventLoop {
 public:
  explicit QtEventLoop(const Clock& clock);
  ~QtEventLoop() override;
  QtEventLoop(const QtEventLoop&) = delete;
  QtEventLoop& operator=(const QtEventLoop&) = delete;

  void yield() override;
  // Blocks in Qt's event wait until about a millisecond before the deadline, then finishes on
  // the clock: sleeping alone wakes up to several milliseconds late, spinning all the way
  // costs a processor core. A long wait first wakes well before the deadline, since the
  // kernel may end it late by a share of its length.
  void waitUntil(Ms deadline) override;
  void post(std::function<void()> task) override;
  TimerId startTimer(Ms interval, std::function<void()> tick) override;
  void stopTimer(TimerId id) override;
  void runModal(const std::function<bool()>& open) override;
  bool quitting() const override { return quitting_; }
  void quit() override;

 private:
  struct Timer {
    QTimer* timer = nullptr;
    std::function<void()> tick;
    bool running = false;
  };
  void fire(TimerId id);

  const Clock& clock_;
  std::unique_ptr<QObject> context_;
  std::unordered_map<TimerId, Timer> timers_;
  TimerId nextTimer_ = 1;
  bool quitting_ = false;
};

}  // namespace qb::platform::x11
