#pragma once
// The notification-area icon through Shell_NotifyIconW, with a message-only window of its own
// for the icon's mouse messages: a left click (or double click) reports button state 1, the
// context-menu click 2. When the task bar comes back (Explorer restarted) the icon is added
// again.

#include <functional>
#include <string>

#include "platform/shell.h"

struct HWND__;

namespace qb::platform::win32 {

class Win32TrayIcon final : public TrayIcon {
 public:
  Win32TrayIcon();
  ~Win32TrayIcon() override;
  Win32TrayIcon(const Win32TrayIcon&) = delete;
  Win32TrayIcon& operator=(const Win32TrayIcon&) = delete;

  bool addIcon(std::string_view tip, std::function<void(int buttons)> onMouse) override;
  void removeIcon() override;
  bool iconVisible() const override { return shown_; }

 private:
  static std::intptr_t __stdcall windowProc(::HWND__* window, unsigned message,
                                            std::uintptr_t wParam, std::intptr_t lParam);
  bool add();

  ::HWND__* window_ = nullptr;
  std::wstring tip_;
  std::function<void(int buttons)> onMouse_;
  bool wanted_ = false;
  bool shown_ = false;
};

}  // namespace qb::platform::win32
