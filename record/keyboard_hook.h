#pragma once
// The system-wide keyboard hook: stop keys, the record/stop/play shortcuts, the function keys
// and key recording, decided on every key event.

#include <cstdint>
#include <string>

#include "platform/keyboard_hook_source.h"

namespace qb {

class Program;

class KeyboardHook {
 public:
  explicit KeyboardHook(Program& program) : program_(program) {}

  bool InstallKeyHook();
  bool RemoveKeyHook();
  bool installed() const { return installed_; }
  // True swallows the key.
  bool KeyHookProc(const platform::HookKeyEvent& event);
  static std::string KeyToken(std::uint16_t vk);

  std::int16_t CtrlHeld = 0;
  std::int16_t ShiftHeld = 0;

 private:
  Program& program_;
  bool installed_ = false;
};

}  // namespace qb
