#pragma once
// Keycodes to Windows virtual keys and back, from a snapshot of the keyboard mapping of one
// connection. Both the key sender and the hook use it, so the key the sender presses for a
// virtual key is the key the hook reports with that code.

#include <cstdint>
#include <vector>

struct _XDisplay;

namespace qb::platform::x11 {

struct KeyTranslation {
  std::uint16_t vk = 0;  // 0 when the keycode has no symbol
  std::uint32_t scanCode = 0;
  bool extended = false;
};

class KeyTranslator {
 public:
  // Reads the keyboard mapping of `dpy` (one round trip).
  void load(_XDisplay* dpy);
  bool loaded() const { return !syms_.empty(); }

  // The key as a Windows hook reports it: keypad keys follow Num Lock, and Pause with Ctrl
  // is Break.
  KeyTranslation translate(int keycode, bool numLock, bool ctrlHeld) const;
  // True when Num Lock changes what the key reports.
  bool numLockMatters(int keycode) const;
  // The keycodes reporting `vk` (the generic Shift, Ctrl and Alt codes stand for both sides,
  // Break for the Pause key); the best key to press first.
  std::vector<int> keycodesFor(std::uint16_t vk) const;
  int keycodeFor(std::uint16_t vk) const;

  std::uint32_t keysym(int keycode, int column) const;
  bool hasSymbols(int keycode) const;
  int minKeycode() const { return min_; }
  int maxKeycode() const { return max_; }

 private:
  int min_ = 8;
  int max_ = 7;
  int perKeycode_ = 0;
  std::vector<unsigned long> syms_;
};

}  // namespace qb::platform::x11
