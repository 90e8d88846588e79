#pragma once
// Windows virtual-key codes for X keys. Keys that name themselves (function, navigation,
// modifier, keypad, media) go by keysym; letters by the letter the layout puts on the key; the
// digit row and punctuation keys by their position, as Windows gives the key under the same
// place the same code whatever the layout prints on it.

#include <cstdint>
#include <optional>

#include "platform/virtual_keys.h"

namespace qb::platform::x11 {

struct VkOfKey {
  std::uint16_t vk = 0;
  bool extended = false;  // the key a Windows keyboard sends with the E0 prefix
};

// The virtual key of a keysym that names a key by itself; empty for character keysyms.
std::optional<VkOfKey> vkOfNamedKeysym(std::uint32_t keysym);

// The virtual key of a letter, digit or punctuation keysym (US meaning), 0 if none.
std::uint16_t vkOfCharacterKeysym(std::uint32_t keysym);

// The virtual key of a key of the typing block by its evdev keycode (the code X servers use on
// Linux), 0 outside that block.
std::uint16_t vkOfTypingKeyPosition(int keycode);

// The set-1 scan code Windows reports for the key with this evdev keycode, 0 if unknown.
std::uint32_t scanCodeOfKeycode(int keycode);

// The keysym to bind to a spare keycode to type a virtual key no key of the keymap has; 0 if
// the key has no keysym.
std::uint32_t keysymOfVk(std::uint16_t vk);

// The keysym that types a Unicode character on a key that has no other symbol.
inline std::uint32_t keysymOfChar(char32_t ch) {
  const auto cp = static_cast<std::uint32_t>(ch);
  return (cp >= 0x20 && cp <= 0x7E) || (cp >= 0xA0 && cp <= 0xFF) ? cp : 0x01000000u | cp;
}

// True for the keypad keysyms whose meaning Num Lock changes (KP_Home ... KP_Delete).
bool isKeypadNavigationKeysym(std::uint32_t keysym);

}  // namespace qb::platform::x11
