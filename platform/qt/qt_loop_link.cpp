#include "platform/qt/qt_loop_link.h"

#include <QAbstractEventDispatcher>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

namespace qb::platform::x11 {

QtLoopLink::QtLoopLink() : context_(std::make_unique<QObject>()) {}

QtLoopLink::~QtLoopLink() {
  timer_.reset();
  notifier_.reset();
  context_.reset();
}

void QtLoopLink::watch(int fd, std::function<void()> readable, std::function<void()> beforeSleep) {
  notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, context_.get(),
                   [readable = std::move(readable)] { readable(); });
  if (auto* dispatcher = QAbstractEventDispatcher::instance())
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, context_.get(),
                     [beforeSleep = std::move(beforeSleep)] { beforeSleep(); });
}

void QtLoopLink::post(std::function<void()> task) {
  QMetaObject::invokeMethod(
      context_.get(), [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

void QtLoopLink::startTimer(int ms, std::function<void()> fire) {
  if (!timer_) {
    timer_ = std::make_unique<QTimer>();
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_.get(), &QTimer::timeout, context_.get(), [this] {
      auto handler = fire_;  // it may restart the timer with another function
      if (handler) handler();
    });
  }
  fire_ = std::move(fire);
  timer_->start(ms);
}

void QtLoopLink::stopTimer() {
  if (timer_) timer_->stop();
}

}  // namespace qb::platform::x11
