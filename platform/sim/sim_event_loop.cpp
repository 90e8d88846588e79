#include "platform/sim/sim_event_loop.h"

#include <utility>

namespace qb::platform::sim {

void SimEventLoop::schedule(Ms when, std::function<void()> fn, TimerId timer) {
  queue_.push(Entry{when, seq_++, std::move(fn), timer});
}

void SimEventLoop::runEntry(Entry entry) {
  if (entry.timer == 0) {
    entry.fn();
    return;
  }
  auto it = timers_.find(entry.timer);
  if (it == timers_.end()) return;  // stopped meanwhile
  Timer& timer = it->second;
  schedule(entry.when + timer.interval, nullptr, entry.timer);
  if (timer.running) return;  // a tick never re-enters its own handler
  timer.running = true;
  auto tick = timer.tick;  // the handler may stop and restart its own timer
  const TimerId id = entry.timer;
  tick();
  if (auto again = timers_.find(id); again != timers_.end()) again->second.running = false;
}

void SimEventLoop::yield() {
  if (quitting_) return;
  if (now_ != idleSince_) {
    idleSince_ = now_;
    idleYields_ = 0;
  }
  if (++idleYields_ > idleYieldLimit_) {
    quitWith(QuitReason::IdleBound);
    return;
  }
  while (!quitting_ && !queue_.empty() && queue_.top().when <= now_) {
    Entry entry = queue_.top();
    queue_.pop();
    runEntry(std::move(entry));
  }
}

void SimEventLoop::waitUntil(Ms deadline) {
  while (!quitting_) {
    if (!queue_.empty() && queue_.top().when <= deadline) {
      Entry entry = queue_.top();
      queue_.pop();
      if (entry.when > lastTime_) {
        now_ = lastTime_;
        quitWith(QuitReason::TimeBound);
        return;
      }
      if (entry.when > now_) now_ = entry.when;
      runEntry(std::move(entry));
      continue;
    }
    if (deadline > lastTime_) {
      now_ = std::max(now_, lastTime_);
      quitWith(QuitReason::TimeBound);
      return;
    }
    if (deadline > now_) now_ = deadline;
    return;
  }
}

void SimEventLoop::post(std::function<void()> task) {
  schedule(now_, std::move(task), 0);
}

TimerId SimEventLoop::startTimer(Ms interval, std::function<void()> tick) {
  const TimerId id = nextTimer_++;
  timers_[id] = Timer{interval < 1 ? 1 : interval, std::move(tick)};
  schedule(now_ + timers_[id].interval, nullptr, id);
  return id;
}

void SimEventLoop::stopTimer(TimerId id) {
  timers_.erase(id);
}

void SimEventLoop::runModal(const std::function<bool()>& open) {
  while (!quitting_ && open()) {
    if (modalPump_) {
      if (!modalPump_()) quitWith(QuitReason::ModalWithoutStep);
      continue;
    }
    if (queue_.empty()) {
      quitWith(QuitReason::ModalLeftOpen);
      return;
    }
    waitUntil(queue_.top().when);
  }
}

void SimEventLoop::quit() {
  quitWith(QuitReason::ProgramLeft);
}

void SimEventLoop::quitWith(QuitReason reason) {
  if (quitting_) return;
  quitting_ = true;
  quitReason_ = reason;
}

std::string SimEventLoop::quitReasonText() const {
  switch (quitReason_) {
    case QuitReason::None:
      return {};
    case QuitReason::ProgramLeft:
      return "the program is leaving";
    case QuitReason::TimeBound:
      return "virtual time reached its bound of " + std::to_string(lastTime_) + " ms";
    case QuitReason::IdleBound:
      return "no virtual time passed in " + std::to_string(idleYieldLimit_) +
             " turns of the event loop";
    case QuitReason::ModalWithoutStep:
      return "a modal window stayed open with no step left to close it";
    case QuitReason::ModalLeftOpen:
      return "a modal window stayed open with nothing left to close it";
  }
  return {};
}

void SimEventLoop::at(Ms when, std::function<void()> event) {
  schedule(when, std::move(event), 0);
}

void SimEventLoop::setBounds(Ms lastTime, std::uint64_t idleYields) {
  lastTime_ = lastTime;
  idleYieldLimit_ = idleYields;
}

}  // namespace qb::platform::sim
