#include "platform/win32/win32_pointer.h"

#include <windows.h>

#include "platform/win32/own_input.h"

namespace qb::platform::win32 {

bool Win32Pointer::position(Point& out) {
  POINT point;
  if (!GetCursorPos(&point)) return false;
  out = {static_cast<int>(point.x), static_cast<int>(point.y)};
  return true;
}

// SetCursorPos rather than a SendInput move: it takes virtual-desktop pixels as they are, and
// it moves the pointer even while a low-level mouse hook is installed (Wine leaves SendInput
// moves unapplied then).
bool Win32Pointer::setPosition(Point to) {
  return SetCursorPos(to.x, to.y) != FALSE;
}

bool Win32Pointer::press(MouseButton button, bool down) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  if (button == MouseButton::Left)
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  else
    input.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
  input.mi.dwExtraInfo = ownInputInfo(0);
  return SendInput(1, &input, sizeof(INPUT)) == 1;
}

}  // namespace qb::platform::win32
