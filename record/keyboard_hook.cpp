#include "record/keyboard_hook.h"

#include "app/program.h"

namespace qb {

bool KeyboardHook::InstallKeyHook() {
  if (installed_) return true;
  installed_ = program_.desktop.hook.install(
      [this](const platform::HookKeyEvent& event) { return KeyHookProc(event); });
  return installed_;
}

bool KeyboardHook::RemoveKeyHook() {
  if (!installed_) return false;
  program_.desktop.hook.uninstall();
  installed_ = false;
  return true;
}

bool KeyboardHook::KeyHookProc(const platform::HookKeyEvent& event) {
  (void)event;
  return false;
}

std::string KeyboardHook::KeyToken(std::uint16_t vk) {
  return "{" + std::string(1, static_cast<char>(vk)) + "}";
}

}  // namespace qb
