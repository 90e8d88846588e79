#pragma once
// The real Windows desktop: the low-level keyboard hook, SendInput, the cursor, windows and
// the shell, the registry, shortcut files, the notification icon and the window order, all
// on the thread that makes it, which runs its event loop.

#include "platform/desktop.h"
#include "platform/win32/registry_settings.h"
#include "platform/win32/shell_link_writer.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_environment.h"
#include "platform/win32/win32_event_loop.h"
#include "platform/win32/win32_key_sender.h"
#include "platform/win32/win32_key_state.h"
#include "platform/win32/win32_keyboard_hook.h"
#include "platform/win32/win32_pointer.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_tray_icon.h"
#include "platform/win32/win32_window_stack.h"
#include "platform/win32/win32_windows.h"

namespace qb::platform::win32 {

class Win32Desktop {
 public:
  Win32Desktop();
  ~Win32Desktop();
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;

  Desktop& desktop() { return desktop_; }
  Win32EventLoop& loop() { return loop_; }
  Win32WindowStack& windowStack() { return windowStack_; }

 private:
  Win32Clock clock_;
  Win32EventLoop loop_{clock_};
  Win32Pointer pointer_;
  Win32KeyboardHook hook_{loop_, clock_};
  Win32KeySender keys_{&hook_};
  Win32KeyState keyState_{&hook_};
  Win32Windows windows_;
  Win32Processes processes_;
  Win32Dialogs dialogs_{loop_};
  NullActionLog log_;
  RegistrySettings settings_;
  Win32Clipboard clipboard_;
  Win32Shell shell_;
  Win32TrayIcon tray_;
  Win32WindowStack windowStack_;
  Win32Environment environment_;
  ShellLinkWriter shortcuts_;
  Desktop desktop_;
};

}  // namespace qb::platform::win32
