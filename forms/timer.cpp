#include "forms/timer.h"

namespace qb::forms {

Timer::Timer(Form& owner, std::string name, platform::EventLoop& loop, platform::Ms interval)
    : Control(owner, std::move(name), ControlKind::Timer), loop_(loop), interval_(interval) {
  setVisible(false);
}

Timer::~Timer() {
  setRunning(false);
}

void Timer::setRunning(bool on) {
  if (on == running()) return;
  if (on) {
    id_ = loop_.startTimer(interval_, [this] {
      if (onTimer) onTimer();
    });
  } else {
    loop_.stopTimer(id_);
    id_ = 0;
  }
  notify(Property::Enabled);
}

}  // namespace qb::forms
