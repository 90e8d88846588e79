#pragma once
// The system-wide keyboard hook: stop keys, the record/stop/play shortcuts, the function keys
// and key recording, decided on every key event.
//
// The callback answers at once, because a desktop drops a hook that keeps it waiting. It
// decides swallow or pass, raises the stop request and appends key lines itself; what it starts
// (Record, Stop and Play through the trigger fields, a hot key's passes) is posted to run right
// after it returns, in the order the keys came.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/keyboard_hook_source.h"
#include "record/record_host.h"

namespace qb {

class KeyboardHook {
 public:
  KeyboardHook(platform::Desktop& desktop, RecordHost& host) : desktop_(desktop), host_(host) {}

  bool InstallKeyHook();
  bool RemoveKeyHook();
  bool installed() const { return installed_; }
  // True swallows the key.
  bool KeyHookProc(const platform::HookKeyEvent& event);
  // The braced token a key line carries for a virtual-key code.
  static std::string KeyToken(std::uint16_t vk);

  // Only the stop keys work: a play runs or is posted to start, or the hook is suspended.
  bool busy() const;
  // Tells the desktop which keys the hook may swallow now. Cheap when nothing changed, so
  // callers call it on every change of the state it depends on.
  void updateSwallowable();

  // Ctrl and Shift as the hook's own events saw them (-1 down, 0 up).
  std::int16_t CtrlHeld = 0;
  std::int16_t ShiftHeld = 0;

 private:
  bool held(int vk);
  bool recording() const;
  void trackModifiers(const platform::HookKeyEvent& event);
  void requestStop();
  // The key line for a key pressed while recording, or empty when it writes none; stamped
  // with the event's time where the desktop gives one.
  std::optional<std::string> keyLine(const platform::HookKeyEvent& event);
  // Appends a key line, never with a moment before the line above it.
  void appendInOrder(std::string line);
  void later(std::function<void()> task, bool startsPlay);

  platform::Desktop& desktop_;
  RecordHost& host_;
  bool installed_ = false;
  // Tasks this hook posted that have not started yet, and those of them that start a play.
  int pending_ = 0;
  int pendingPlays_ = 0;
  std::optional<std::vector<platform::SwallowableKey>> announced_;
  // The letter of a Left Ctrl shortcut whose press was swallowed, until it is let go (or
  // another key is pressed, which ends the keyboard's repeat of it); 0 for none.
  std::uint32_t heldShortcut_ = 0;
};

}  // namespace qb
