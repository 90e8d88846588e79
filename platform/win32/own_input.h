#pragma once
#include <cstdint>

namespace qb::platform::win32 {

// What this program's own SendInput events carry in dwExtraInfo: the mark in the low 32 bits,
// above it whether the event is the last of its batch, and above that the batch's number. The
// keyboard hook lets them pass without taking them for the user's keys, and notes the batch
// whose last event it saw.
inline constexpr std::uintptr_t kOwnInputMark = 0x51426B79;  // "QBky"

inline constexpr std::uintptr_t ownInputInfo(std::uint32_t batch, bool last = true) {
  return kOwnInputMark | (static_cast<std::uintptr_t>(last) << 32) |
         (static_cast<std::uintptr_t>(batch & 0x7fffffff) << 33);
}
inline constexpr bool isOwnInput(std::uintptr_t info) {
  return (info & 0xffffffffu) == kOwnInputMark;
}
inline constexpr bool isLastOfBatch(std::uintptr_t info) {
  return ((info >> 32) & 1) != 0;
}
inline constexpr std::uint32_t ownInputBatch(std::uintptr_t info) {
  return static_cast<std::uint32_t>(info >> 33);
}

}  // namespace qb::platform::win32
