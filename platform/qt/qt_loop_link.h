#pragma once
// Qt's event loop for the Xlib code, which cannot include Qt's headers next to Xlib's (Xlib's
// macros None, Bool, Status and KeyPress break them).

#include <functional>
#include <memory>

class QObject;
class QSocketNotifier;
class QTimer;

namespace qb::platform::x11 {

class QtLoopLink {
 public:
  QtLoopLink();
  ~QtLoopLink();
  QtLoopLink(const QtLoopLink&) = delete;
  QtLoopLink& operator=(const QtLoopLink&) = delete;

  // Calls `readable` when `fd` has data, and `beforeSleep` whenever the loop is about to wait.
  void watch(int fd, std::function<void()> readable, std::function<void()> beforeSleep);
  // Runs `task` after the current handler; dropped if the link is gone by then.
  void post(std::function<void()> task);
  // One timer: (re)starts it to fire once after `ms`.
  void startTimer(int ms, std::function<void()> fire);
  void stopTimer();

 private:
  std::unique_ptr<QObject> context_;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::unique_ptr<QTimer> timer_;
  std::function<void()> fire_;
};

}  // namespace qb::platform::x11
