#pragma once
#include <functional>

#include "forms/control.h"
#include "platform/event_loop.h"

namespace qb::forms {

// A window timer: while enabled, its event runs every `interval` milliseconds.
class Timer : public Control {
 public:
  Timer(Form& owner, std::string name, platform::EventLoop& loop, platform::Ms interval);
  ~Timer() override;
  bool running() const { return id_ != 0; }
  void setRunning(bool on);
  platform::Ms interval() const { return interval_; }
  std::function<void()> onTimer;

 private:
  platform::EventLoop& loop_;
  platform::Ms interval_;
  platform::TimerId id_ = 0;
};

}  // namespace qb::forms
