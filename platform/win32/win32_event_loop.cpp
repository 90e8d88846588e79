#include "platform/win32/win32_event_loop.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <utility>

namespace qb::platform::win32 {
namespace {

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr DWORD CREATE_WAITABLE_TIMER_HIGH_RESOLUTION = 0x00000002;
#endif

// The part of a wait finished on the clock instead of in the event wait.
constexpr Ms kFinishOnClockMs = 1;
// A modal loop re-reads its condition at least this often, whatever wakes it.
constexpr Ms kModalRecheckMs = 50;
// How often a system loop (a message box) lets tasks and timers run.
constexpr UINT kForeignLoopTickMs = 10;
constexpr Ms kForever = std::numeric_limits<Ms>::max();

Win32EventLoop* foreignLoopOwner = nullptr;

// timeBeginPeriod and timeEndPeriod from winmm, looked up once so the program does not need
// the library where a high-resolution timer makes them unnecessary.
using TimePeriodCall = UINT(WINAPI*)(UINT);
struct TimerResolution {
  TimePeriodCall begin = nullptr;
  TimePeriodCall end = nullptr;
  TimerResolution() {
    if (HMODULE winmm = LoadLibraryW(L"winmm.dll")) {
      begin = reinterpret_cast<TimePeriodCall>(
          reinterpret_cast<void*>(GetProcAddress(winmm, "timeBeginPeriod")));
      end = reinterpret_cast<TimePeriodCall>(
          reinterpret_cast<void*>(GetProcAddress(winmm, "timeEndPeriod")));
    }
  }
};

const TimerResolution& timerResolution() {
  static const TimerResolution calls;
  return calls;
}

}  // namespace

Win32EventLoop::Win32EventLoop(const Clock& clock) : clock_(clock) {
  waitTimer_ = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                      TIMER_ALL_ACCESS);
  highResolution_ = waitTimer_ != nullptr;
  if (!waitTimer_) waitTimer_ = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
  // The thread's message queue exists from now on, so messages posted to it are kept.
  MSG msg;
  PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
}

Win32EventLoop::~Win32EventLoop() {
  if (waitTimer_) CloseHandle(waitTimer_);
}

bool Win32EventLoop::dispatchMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit();
      return false;
    }
    if (filter_ && filter_(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

void Win32EventLoop::runTasks() {
  // Only what was posted before this turn: a task that posts again runs on the next one.
  for (std::size_t n = tasks_.size(); n > 0 && !tasks_.empty(); --n) {
    auto task = std::move(tasks_.front());
    tasks_.pop_front();
    task();
  }
}

void Win32EventLoop::runDueTimers() {
  const Ms now = clock_.now();
  std::vector<TimerId> due;
  for (const auto& [id, timer] : timers_)
    if (timer.due <= now && !timer.running) due.push_back(id);
  for (const TimerId id : due) {
    auto it = timers_.find(id);
    if (it == timers_.end()) continue;  // stopped by an earlier tick
    Timer& timer = it->second;
    // The next tick keeps the period; one that fell behind starts again from now.
    timer.due = std::max(timer.due + timer.interval, now + 1);
    timer.running = true;
    auto tick = timer.tick;  // the tick may stop or restart its own timer
    tick();
    if (auto again = timers_.find(id); again != timers_.end()) again->second.running = false;
  }
}

void Win32EventLoop::deliverPending() {
  if (quitting_ || !dispatchMessages()) return;
  runTasks();
  if (!quitting_) runDueTimers();
}

Ms Win32EventLoop::nextTimerDue() const {
  Ms next = kForever;
  for (const auto& [id, timer] : timers_)
    if (!timer.running) next = std::min(next, timer.due);
  return next;
}

void Win32EventLoop::sleepUntil(Ms until) {
  if (!tasks_.empty()) return;
  DWORD count = 0;
  HANDLE handles[1] = {waitTimer_};
  DWORD timeout = INFINITE;
  const Ms left = until == kForever ? kForever : until - clock_.now();
  if (left <= 0) return;
  if (left != kForever) {
    if (waitTimer_) {
      LARGE_INTEGER dueTime;
      dueTime.QuadPart = -left * 10'000;  // relative, in 100 ns units
      if (SetWaitableTimer(waitTimer_, &dueTime, 0, nullptr, nullptr, FALSE)) count = 1;
    }
    if (count == 0) timeout = static_cast<DWORD>(std::min<Ms>(left, 0x7fffffff));
  }
  MsgWaitForMultipleObjectsEx(count, handles, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  if (count == 1) CancelWaitableTimer(waitTimer_);
}

void Win32EventLoop::yield() {
  deliverPending();
}

void Win32EventLoop::waitUntil(Ms deadline) {
  const bool raiseResolution = !highResolution_ && timerResolution().begin;
  if (raiseResolution) timerResolution().begin(1);
  while (!quitting_) {
    deliverPending();
    const Ms now = clock_.now();
    if (quitting_ || now >= deadline) break;
    // A timer may end its wait up to a millisecond late (Wine's always do): the last
    // millisecond is finished on the clock, giving the processor away between looks.
    if (deadline - now > kFinishOnClockMs)
      sleepUntil(std::min(deadline - kFinishOnClockMs, nextTimerDue()));
    else
      SwitchToThread();
  }
  if (raiseResolution && timerResolution().end) timerResolution().end(1);
}

void Win32EventLoop::post(std::function<void()> task) {
  tasks_.push_back(std::move(task));
  // Wakes a wait of this thread that is already blocked (a task posted from a hook call).
  PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

TimerId Win32EventLoop::startTimer(Ms interval, std::function<void()> tick) {
  const TimerId id = nextTimer_++;
  interval = std::clamp<Ms>(interval, 1, 1'000'000'000);
  timers_[id] = Timer{interval, clock_.now() + interval, std::move(tick), false};
  return id;
}

void Win32EventLoop::stopTimer(TimerId id) {
  timers_.erase(id);
}

void Win32EventLoop::runModal(const std::function<bool()>& open) {
  while (!quitting_ && open()) {
    deliverPending();
    if (quitting_ || !open()) break;
    sleepUntil(std::min(clock_.now() + kModalRecheckMs, nextTimerDue()));
  }
}

void Win32EventLoop::run() {
  while (!quitting_) {
    deliverPending();
    if (!quitting_) sleepUntil(nextTimerDue());
  }
}

void Win32EventLoop::quit() {
  quitting_ = true;
}

Win32EventLoop::ForeignLoop::ForeignLoop(Win32EventLoop& loop)
    : loop_(loop), outer_(foreignLoopOwner) {
  foreignLoopOwner = &loop_;
  timer_ = SetTimer(nullptr, 0, kForeignLoopTickMs, &ForeignLoop::tick);
}

// Tasks and timers only: the messages belong to the system's loop, which handles the dialog
// keys (Tab, Enter, Escape) before it dispatches them.
void CALLBACK Win32EventLoop::ForeignLoop::tick(HWND, UINT, UINT_PTR, DWORD) {
  Win32EventLoop* loop = foreignLoopOwner;
  if (!loop || loop->quitting_) return;
  loop->runTasks();
  if (!loop->quitting_) loop->runDueTimers();
}

Win32EventLoop::ForeignLoop::~ForeignLoop() {
  if (timer_) KillTimer(nullptr, timer_);
  foreignLoopOwner = outer_;  // a box opened from inside another one leaves the outer going
}

}  // namespace qb::platform::win32
