#include "platform/win32/win32_desktop.h"

namespace qb::platform::win32 {

Win32Desktop::Win32Desktop()
    : desktop_{clock_,     loop_,      pointer_, pointer_,     keys_,        keyState_,
               windows_,   processes_, dialogs_, log_,         settings_,    hook_,
               clipboard_, shell_,     tray_,    windowStack_, environment_, shortcuts_} {}

Win32Desktop::~Win32Desktop() {
  hook_.uninstall();
}

}  // namespace qb::platform::win32
