#pragma once
// The real Linux desktop: X11 for input, windows and the keyboard hook, Qt 6 for the event
// loop, dialogs, clipboard, tray icon and window stack. The program's QApplication must exist
// before create() is called.

#include <memory>
#include <string>

#include "common/result.h"
#include "platform/desktop.h"
#include "platform/ini_settings.h"
#include "platform/posix/posix_processes.h"
#include "platform/posix/steady_clock.h"
#include "platform/qt/linux_environment.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_loop_link.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_tray_icon.h"
#include "platform/qt/qt_window_stack.h"
#include "platform/x11/desktop_entry_writer.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_key_sender.h"
#include "platform/x11/x11_key_state.h"
#include "platform/x11/x11_keyboard_hook.h"
#include "platform/x11/x11_pointer.h"
#include "platform/x11/x11_windows.h"

namespace qb::platform::x11 {

class X11Desktop {
 public:
  // The desktop, or what is missing (no DISPLAY, a Wayland session without XWayland, an X
  // server without XTEST or XInput 2.2, no QApplication).
  static Result<std::unique_ptr<X11Desktop>> create();
  // Settings at `settingsPath` instead of the user's file (tests, portable setups).
  static Result<std::unique_ptr<X11Desktop>> create(const std::string& settingsPath);
  ~X11Desktop();
  X11Desktop(const X11Desktop&) = delete;
  X11Desktop& operator=(const X11Desktop&) = delete;

  Desktop& desktop() { return desktop_; }
  QtWindowStack& windowStack() { return windowStack_; }
  X11KeyboardHook& hook() { return hook_; }
  X11Windows& windows() { return windows_; }
  QtEventLoop& loop() { return loop_; }
  Connection& connection() { return *connection_; }

 private:
  X11Desktop(std::unique_ptr<Connection> connection, const std::string& settingsPath);

  std::unique_ptr<Connection> connection_;
  QtLoopLink link_;  // reads the main connection's events as they come
  SteadyClock clock_;
  QtEventLoop loop_{clock_};
  X11Pointer pointer_{*connection_};
  X11KeySender keys_{*connection_};
  X11KeyState keyState_{*connection_};
  X11Windows windows_{*connection_};
  PosixProcesses processes_;
  QtDialogs dialogs_;
  NullActionLog log_;
  IniSettings settings_;
  X11KeyboardHook hook_;
  QtClipboard clipboard_;
  QtShell shell_;
  QtTrayIcon tray_;
  QtWindowStack windowStack_;
  LinuxEnvironment environment_;
  DesktopEntryWriter shortcuts_;
  Desktop desktop_;
};

}  // namespace qb::platform::x11
