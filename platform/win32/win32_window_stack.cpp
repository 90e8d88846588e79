#include "platform/win32/win32_window_stack.h"

#include <windows.h>

namespace qb::platform::win32 {

void Win32WindowStack::registerWindow(const std::string& form, HWND window) {
  if (window)
    windows_[form] = window;
  else
    windows_.erase(form);
}

HWND Win32WindowStack::find(std::string_view form) const {
  const auto found = windows_.find(form);
  return found == windows_.end() || !IsWindow(found->second) ? nullptr : found->second;
}

bool Win32WindowStack::setTopmost(std::string_view form, bool on) {
  HWND window = find(form);
  return window && SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                                SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE) != FALSE;
}

bool Win32WindowStack::minimize(std::string_view form) {
  HWND window = find(form);
  if (!window || !IsWindowVisible(window)) return false;
  ShowWindow(window, SW_MINIMIZE);
  return true;
}

bool Win32WindowStack::isTopmost(std::string_view form) const {
  HWND window = find(form);
  return window && (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

}  // namespace qb::platform::win32
