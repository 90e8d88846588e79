#pragma once
// The asynchronous key state, and how often each mouse button went down: a button press
// counter fed by the low-level mouse hook would stop SendInput moves under Wine, so presses are
// counted from GetAsyncKeyState's "pressed since the last call" bit, which sees a press
// however short it was.

#include <array>

#include "platform/input.h"

namespace qb::platform::win32 {

class Win32KeyState final : public KeyState {
 public:
  std::uint16_t asyncKeyState(int vk) override;
  std::uint32_t buttonPresses(int vk) override;

 private:
  std::array<std::uint32_t, 8> presses_{};
  std::array<bool, 8> down_{};
};

}  // namespace qb::platform::win32
