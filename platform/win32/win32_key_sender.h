#pragma once
// Typing with SendInput: one batch per key string. A character that the keyboard layout of the
// window in front has a key for is typed as that key (with Shift when the layout needs it), so
// Ctrl+A stays a shortcut; any other character goes as Unicode (KEYEVENTF_UNICODE, a surrogate
// pair as its two halves). Every event carries this program's mark, so its own keyboard hook
// never takes them for the user's.

#include <cstdint>
#include <vector>

#include "platform/input.h"

namespace qb::platform::win32 {

class Win32KeyboardHook;

class Win32KeySender final : public KeySender {
 public:
  // With a hook, a waiting send knows when the system has taken its keys from the input queue.
  explicit Win32KeySender(const Win32KeyboardHook* hook = nullptr) : hook_(hook) {}
  // With `waitUntilProcessed`, returns once the foreground window's thread has handled the
  // keys: the hook saw the batch's last event (so the system has queued it for that thread),
  // then the thread answered one more sent message than the keys made messages; a thread
  // answers a sent message each time it asks for its next one, so the last answer comes after
  // the last key's messages were handled. Bounded by a few seconds for a window that hangs.
  bool send(const KeySequence& keys, std::string_view text, bool waitUntilProcessed) override;

 private:
  void waitUntilProcessed(std::uint32_t batch, std::size_t messages);
  const Win32KeyboardHook* hook_;
  std::uint32_t batch_ = 0;
};

// The events of one key string (exposed for tests).
struct KeyInput {
  std::uint16_t vk = 0;
  std::uint16_t scan = 0;
  std::uint16_t unicode = 0;  // a UTF-16 unit, with vk 0
  bool up = false;
  bool extended = false;
};
std::vector<KeyInput> keyInputs(const KeySequence& keys, void* layout);

}  // namespace qb::platform::win32
