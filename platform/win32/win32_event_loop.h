#pragma once
// The program's event loop on Win32: window messages (and with them the low-level keyboard
// hook's calls), posted tasks and timers, all on the thread that made it. Its waits block in
// MsgWaitForMultipleObjectsEx on a high-resolution waitable timer, so they neither spin nor
// end a scheduler tick late; where the system has no high-resolution timer, the timer
// resolution is raised to 1 ms for the length of each wait only.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>

#include "platform/clock.h"
#include "platform/event_loop.h"

struct HWND__;  // a window handle, without windows.h here
struct tagMSG;  // a window message, likewise

namespace qb::platform::win32 {

class Win32EventLoop final : public EventLoop {
 public:
  explicit Win32EventLoop(const Clock& clock);
  ~Win32EventLoop() override;
  Win32EventLoop(const Win32EventLoop&) = delete;
  Win32EventLoop& operator=(const Win32EventLoop&) = delete;

  void yield() override;
  void waitUntil(Ms deadline) override;
  void post(std::function<void()> task) override;
  TimerId startTimer(Ms interval, std::function<void()> tick) override;
  void stopTimer(TimerId id) override;
  void runModal(const std::function<bool()>& open) override;
  bool quitting() const override { return quitting_; }
  void quit() override;

  // The program's main loop: returns once quit() was called or WM_QUIT arrived.
  void run();
  // Whether waits use a high-resolution waitable timer (else the 1 ms timer resolution).
  bool highResolutionTimer() const { return highResolution_; }
  // Sees every message before it is dispatched, and takes it when it returns true: the
  // windows' own keyboard handling (Tab, Enter, Escape) that a dialog box would do.
  void setMessageFilter(std::function<bool(tagMSG&)> filter) { filter_ = std::move(filter); }

  // While a loop of the system's own runs (a message box, a menu), posted tasks and timers go
  // on through a thread timer for as long as this object lives.
  class ForeignLoop {
   public:
    explicit ForeignLoop(Win32EventLoop& loop);
    ~ForeignLoop();
    ForeignLoop(const ForeignLoop&) = delete;
    ForeignLoop& operator=(const ForeignLoop&) = delete;

   private:
    static void __stdcall tick(::HWND__* window, unsigned message, std::uintptr_t id,
                               unsigned long time);
    Win32EventLoop& loop_;
    Win32EventLoop* outer_;
    std::uintptr_t timer_ = 0;
  };

 private:
  struct Timer {
    Ms interval = 1;
    Ms due = 0;
    std::function<void()> tick;
    bool running = false;
  };

  // Dispatches the messages waiting now; false once WM_QUIT came.
  bool dispatchMessages();
  void runTasks();
  void runDueTimers();
  void deliverPending();
  // Blocks until a message comes or the clock reaches `until`.
  void sleepUntil(Ms until);
  Ms nextTimerDue() const;

  const Clock& clock_;
  void* waitTimer_ = nullptr;
  bool highResolution_ = false;
  bool quitting_ = false;
  std::deque<std::function<void()>> tasks_;
  std::map<TimerId, Timer> timers_;
  TimerId nextTimer_ = 1;
  std::function<bool(tagMSG&)> filter_;
};

}  // namespace qb::platform::win32
