#pragma once
// The desktop the core works on: one reference per platform service. Each backend (the
// simulated desktop, X11, Win32) builds one.

#include "platform/action_log.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/input.h"
#include "platform/keyboard_hook_source.h"
#include "platform/settings_store.h"
#include "platform/shell.h"
#include "platform/windows.h"

namespace qb::platform {

struct Desktop {
  Clock& clock;
  EventLoop& loop;
  Cursor& cursor;
  MouseButtons& buttons;
  KeySender& keys;
  KeyState& keyState;
  Windows& windows;
  Processes& processes;
  Dialogs& dialogs;
  ActionLog& log;
  SettingsStore& settings;
  KeyboardHookSource& hook;
  Clipboard& clipboard;
  Shell& shell;
  TrayIcon& tray;
  WindowStack& windowStack;
  Environment& environment;
  ShortcutWriter& shortcuts;
};

}  // namespace qb::platform
