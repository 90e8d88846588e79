#include "platform/qt/qt_event_loop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <algorithm>

namespace qb::platform::x11 {
namespace {

// The part of a wait finished on the clock instead of in the event wait.
constexpr Ms kFinishOnClockMs = 1;
// The kernel may end an event wait late by a share of its length (poll's timer slack: 0.1% of
// the timeout, 0.5% in a niced process), so a long wait wakes this share of it early; the
// short wait that follows is exact.
constexpr Ms kSlackShare = 128;
// A modal loop re-reads its condition at least this often, whatever wakes it.
constexpr int kModalRecheckMs = 50;

}  // namespace

QtEventLoop::QtEventLoop(const Clock& clock)
    : clock_(clock), context_(std::make_unique<QObject>()) {}

QtEventLoop::~QtEventLoop() {
  for (auto& [id, timer] : timers_) delete timer.timer;
}

void QtEventLoop::yield() {
  if (quitting_) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventLoop::waitUntil(Ms deadline) {
  while (!quitting_) {
    const Ms left = deadline - clock_.now();
    if (left <= kFinishOnClockMs) break;
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.setSingleShot(true);
    wake.start(static_cast<int>(
        std::min<Ms>(left - kFinishOnClockMs - left / kSlackShare, 1'000'000'000)));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  while (!quitting_ && clock_.now() < deadline)
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventLoop::post(std::function<void()> task) {
  QMetaObject::invokeMethod(
      context_.get(), [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

TimerId QtEventLoop::startTimer(Ms interval, std::function<void()> tick) {
  const TimerId id = nextTimer_++;
  auto* timer = new QTimer(context_.get());
  timer->setTimerType(Qt::PreciseTimer);
  timer->setInterval(static_cast<int>(std::clamp<Ms>(interval, 1, 1'000'000'000)));
  QObject::connect(timer, &QTimer::timeout, context_.get(), [this, id] { fire(id); });
  timers_[id] = Timer{timer, std::move(tick), false};
  timer->start();
  return id;
}

void QtEventLoop::fire(TimerId id) {
  auto it = timers_.find(id);
  if (it == timers_.end() || it->second.running) return;  // a tick never re-enters itself
  it->second.running = true;
  auto tick = it->second.tick;  // the handler may stop or restart its own timer
  tick();
  if (auto again = timers_.find(id); again != timers_.end()) again->second.running = false;
}

void QtEventLoop::stopTimer(TimerId id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  QTimer* timer = it->second.timer;
  timer->stop();
  // A timer stopped from inside its own tick is still emitting: delete it once that is over.
  if (it->second.running)
    timer->deleteLater();
  else
    delete timer;
  timers_.erase(it);
}

void QtEventLoop::runModal(const std::function<bool()>& open) {
  while (!quitting_ && open()) {
    QTimer recheck;
    recheck.setSingleShot(true);
    recheck.start(kModalRecheckMs);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
}

void QtEventLoop::quit() {
  if (quitting_) return;
  quitting_ = true;
  // Ends the application's loop and every loop nested in it (a message box, a modal window).
  // QCoreApplication::quit does nothing before exec() runs: asked again once the loop turns.
  QCoreApplication::quit();
  QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                            Qt::QueuedConnection);
}

}  // namespace qb::platform::x11
