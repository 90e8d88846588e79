#pragma once
// The window in front, and bringing a window to the front by its title: the exact title first,
// else the first whose title begins with it.

#include "platform/windows.h"

namespace qb::platform::win32 {

class Win32Windows final : public Windows {
 public:
  std::string foregroundTitle() override;
  // Works when another program is in front: Windows lets a program take the foreground when it
  // sent the last input, so a move of the mouse by nothing goes first; where that is not
  // enough, the input of the window in front is attached for the switch.
  bool activate(std::string_view title) override;
};

// The title of a top-level window, as UTF-8.
std::string windowTitle(void* window);

}  // namespace qb::platform::win32
