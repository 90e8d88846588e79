#include "platform/win32/win32_key_state.h"

#include <windows.h>

#include "platform/win32/win32_keyboard_hook.h"

namespace qb::platform::win32 {

std::uint16_t Win32KeyState::asyncKeyState(int vk) {
  const bool mouseButton = vk == VK_LBUTTON || vk == VK_RBUTTON || vk == VK_MBUTTON ||
                           vk == VK_XBUTTON1 || vk == VK_XBUTTON2;
  if (hook_ && !mouseButton)
    if (const std::optional<bool> down = hook_->keyDown(vk)) return *down ? 0x8000 : 0;
  return static_cast<std::uint16_t>(GetAsyncKeyState(vk));
}

std::uint32_t Win32KeyState::buttonPresses(int vk) {
  if (vk < 0 || vk >= static_cast<int>(presses_.size())) return 0;
  const auto index = static_cast<std::size_t>(vk);
  const SHORT state = GetAsyncKeyState(vk);
  const bool down = (state & 0x8000) != 0;
  // Went down since the last look: either the "pressed since" bit, or down now and up then.
  if ((state & 0x0001) || (down && !down_[index])) ++presses_[index];
  down_[index] = down;
  return presses_[index];
}

}  // namespace qb::platform::win32
