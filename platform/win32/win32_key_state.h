#pragma once
// The asynchronous key state, and how often each mouse button went down: a button press
// counter fed by the low-level mouse hook would stop SendInput moves under Wine, so presses are
// counted from GetAsyncKeyState's "pressed since the last call" bit, which sees a press
// however short it was. While the keyboard hook runs, a key's "down" bit comes from the keys
// it let pass: the same answer without a call to the system for each of the modifiers the
// recorder looks at on every key (a round trip to the Wine server under Wine).

#include <array>

#include "platform/input.h"

namespace qb::platform::win32 {

class Win32KeyboardHook;

class Win32KeyState final : public KeyState {
 public:
  explicit Win32KeyState(const Win32KeyboardHook* hook = nullptr) : hook_(hook) {}
  std::uint16_t asyncKeyState(int vk) override;
  std::uint32_t buttonPresses(int vk) override;

 private:
  std::uint16_t readButton(int vk);
  std::array<std::uint32_t, 8> presses_{};
  std::array<bool, 8> down_{};
  const Win32KeyboardHook* hook_;
};

}  // namespace qb::platform::win32
