#pragma once
// The cursor on the virtual desktop (negative left of or above the primary monitor) and the
// mouse buttons, through SetCursorPos and SendInput.

#include "platform/input.h"

namespace qb::platform::win32 {

class Win32Pointer final : public Cursor, public MouseButtons {
 public:
  bool position(Point& out) override;
  bool setPosition(Point to) override;
  bool press(MouseButton button, bool down) override;
};

}  // namespace qb::platform::win32
