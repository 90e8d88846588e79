#pragma once
#include <cstdint>

namespace qb::platform {

// Milliseconds of a monotonic clock, 64 bits: deadlines and differences never wrap.
using Ms = std::int64_t;

class Clock {
 public:
  virtual ~Clock() = default;
  virtual Ms now() const = 0;
  // Seconds since 1970 by the wall clock; the trigger fields carry it as text.
  virtual std::int64_t wallSeconds() const = 0;
};

// The system tick count as macros record it: the low 32 bits of the millisecond counter,
// read as a signed number.
inline std::int32_t tickCount(Ms now) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(now)));
}

}  // namespace qb::platform
