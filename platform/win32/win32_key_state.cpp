#include "platform/win32/win32_key_state.h"

#include <windows.h>

#include "platform/win32/win32_keyboard_hook.h"

namespace qb::platform::win32 {

namespace {

bool isMouseButton(int vk) {
  return vk == VK_LBUTTON || vk == VK_RBUTTON || vk == VK_MBUTTON || vk == VK_XBUTTON1 ||
         vk == VK_XBUTTON2;
}

}  // namespace

// Every look at a button goes through here: each call clears the system's "pressed since the
// last call" bit, so a look that did not count the press would lose a short click.
std::uint16_t Win32KeyState::readButton(int vk) {
  const auto index = static_cast<std::size_t>(vk);
  const auto state = static_cast<std::uint16_t>(GetAsyncKeyState(vk));
  const bool down = (state & 0x8000) != 0;
  // Went down since the last look: either the "pressed since" bit, or down now and up then.
  if ((state & 0x0001) || (down && !down_[index])) ++presses_[index];
  down_[index] = down;
  return state;
}

std::uint16_t Win32KeyState::asyncKeyState(int vk) {
  if (isMouseButton(vk)) return readButton(vk);
  if (hook_)
    if (const std::optional<bool> down = hook_->keyDown(vk)) return *down ? 0x8000 : 0;
  return static_cast<std::uint16_t>(GetAsyncKeyState(vk));
}

std::uint32_t Win32KeyState::buttonPresses(int vk) {
  if (!isMouseButton(vk)) return 0;
  readButton(vk);
  return presses_[static_cast<std::size_t>(vk)];
}

}  // namespace qb::platform::win32
