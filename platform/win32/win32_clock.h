#pragma once
// The millisecond clock of the Win32 desktop: the performance counter, set so that its low 32
// bits follow the tick count (GetTickCount) that stamps the keyboard hook's events.

#include "platform/clock.h"

namespace qb::platform::win32 {

class Win32Clock final : public Clock {
 public:
  Win32Clock();
  Ms now() const override;
  std::int64_t wallSeconds() const override;

 private:
  std::int64_t frequency_ = 1;
  Ms offset_ = 0;
};

}  // namespace qb::platform::win32
