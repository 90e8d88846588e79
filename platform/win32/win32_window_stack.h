#pragma once
// The program's windows by form name, filled by the views as they make them; "topmost" is the
// window's place in the system's topmost band.

#include <map>
#include <string>

#include "platform/shell.h"

struct HWND__;

namespace qb::platform::win32 {

class Win32WindowStack final : public WindowStack {
 public:
  // `window` null forgets the form's window.
  void registerWindow(const std::string& form, ::HWND__* window);
  bool setTopmost(std::string_view form, bool on) override;
  bool minimize(std::string_view form) override;
  // Whether the form's window is in the topmost band now (tests).
  bool isTopmost(std::string_view form) const;

 private:
  ::HWND__* find(std::string_view form) const;

  std::map<std::string, ::HWND__*, std::less<>> windows_;
};

}  // namespace qb::platform::win32
