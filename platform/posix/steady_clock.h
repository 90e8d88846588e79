#pragma once
#include <chrono>

#include "platform/clock.h"

namespace qb::platform::x11 {

// The monotonic millisecond clock. On Linux it is CLOCK_MONOTONIC, the clock the X server
// stamps its events with, so hook event times and tickCount(now()) agree.
class SteadyClock final : public Clock {
 public:
  Ms now() const override {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  }
  std::int64_t wallSeconds() const override {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
  }
};

}  // namespace qb::platform::x11
