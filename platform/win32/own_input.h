#pragma once
#include <cstdint>

namespace qb::platform::win32 {

// What this program's own SendInput events carry in dwExtraInfo: the mark in the low 32 bits,
// the number of the batch they belong to above it. The keyboard hook lets them pass without
// taking them for the user's keys, and notes the last batch it saw.
inline constexpr std::uintptr_t kOwnInputMark = 0x51426B79;  // "QBky"

inline constexpr std::uintptr_t ownInputInfo(std::uint32_t batch) {
  return kOwnInputMark | (static_cast<std::uintptr_t>(batch) << 32);
}
inline constexpr bool isOwnInput(std::uintptr_t info) {
  return (info & 0xffffffffu) == kOwnInputMark;
}
inline constexpr std::uint32_t ownInputBatch(std::uintptr_t info) {
  return static_cast<std::uint32_t>(info >> 32);
}

}  // namespace qb::platform::win32
