#include "platform/x11/key_translator.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include "platform/virtual_keys.h"
#include "platform/x11/key_codes.h"

namespace qb::platform::x11 {
namespace {

bool isKeypadKeysym(std::uint32_t keysym) {
  return keysym >= XK_KP_Space && keysym <= XK_KP_9;
}

}  // namespace

void KeyTranslator::load(_XDisplay* dpy) {
  XDisplayKeycodes(dpy, &min_, &max_);
  int per = 0;
  KeySym* map = XGetKeyboardMapping(dpy, static_cast<KeyCode>(min_), max_ - min_ + 1, &per);
  syms_.clear();
  perKeycode_ = 0;
  if (!map) return;
  perKeycode_ = per;
  syms_.assign(map,
               map + static_cast<std::size_t>(per) * static_cast<std::size_t>(max_ - min_ + 1));
  XFree(map);
}

std::uint32_t KeyTranslator::keysym(int keycode, int column) const {
  if (keycode < min_ || keycode > max_ || column < 0 || column >= perKeycode_) return NoSymbol;
  return static_cast<std::uint32_t>(
      syms_[static_cast<std::size_t>((keycode - min_) * perKeycode_ + column)]);
}

bool KeyTranslator::hasSymbols(int keycode) const {
  for (int c = 0; c < perKeycode_; ++c)
    if (keysym(keycode, c) != NoSymbol) return true;
  return false;
}

bool KeyTranslator::numLockMatters(int keycode) const {
  return isKeypadNavigationKeysym(keysym(keycode, 0));
}

KeyTranslation KeyTranslator::translate(int keycode, bool numLock, bool ctrlHeld) const {
  KeyTranslation out;
  out.scanCode = scanCodeOfKeycode(keycode);
  // Some keys have their symbol on the second level only (keycode 204: NoSymbol, Alt_L).
  std::uint32_t sym = keysym(keycode, 0);
  if (sym == NoSymbol) sym = keysym(keycode, 1);
  if (sym == NoSymbol) return out;
  if (numLock && isKeypadNavigationKeysym(sym) && isKeypadKeysym(keysym(keycode, 1)))
    sym = keysym(keycode, 1);
  if (sym == XK_Pause && ctrlHeld) sym = XK_Break;
  if (const auto named = vkOfNamedKeysym(sym)) {
    out.vk = named->vk;
    out.extended = named->extended;
    return out;
  }
  const std::uint16_t letter = vkOfCharacterKeysym(sym);
  if ((letter >= 'A' && letter <= 'Z')) {
    out.vk = letter;
    return out;
  }
  if (const std::uint16_t byPlace = vkOfTypingKeyPosition(keycode)) {
    out.vk = byPlace;
    return out;
  }
  out.vk = letter ? letter : vk::Unassigned;
  return out;
}

std::vector<int> KeyTranslator::keycodesFor(std::uint16_t vk) const {
  std::uint16_t left = vk, right = vk;
  if (vk == vk::Shift) left = vk::LShift, right = vk::RShift;
  if (vk == vk::Control) left = vk::LControl, right = vk::RControl;
  if (vk == vk::Menu) left = vk::LMenu, right = vk::RMenu;
  std::vector<int> preferred, others;
  for (int kc = min_; kc <= max_; ++kc) {
    const bool ctrl = vk == vk::Cancel;
    const KeyTranslation plain = translate(kc, false, ctrl);
    const KeyTranslation locked = translate(kc, true, ctrl);
    const auto matches = [&](std::uint16_t code) { return code == left || code == right; };
    if (!matches(plain.vk) && !matches(locked.vk)) continue;
    // A key whose own symbol is the virtual key's comes before keypad twins and second-level
    // symbols (Home before KP_Home, Alt_L before the NoSymbol/Alt_L key).
    const std::uint32_t sym = keysym(kc, 0);
    const bool primary = sym != NoSymbol && !isKeypadKeysym(sym) && matches(plain.vk) &&
                         (plain.vk == left || left == right);
    (primary ? preferred : others).push_back(kc);
  }
  preferred.insert(preferred.end(), others.begin(), others.end());
  return preferred;
}

int KeyTranslator::keycodeFor(std::uint16_t vk) const {
  const auto codes = keycodesFor(vk);
  return codes.empty() ? 0 : codes.front();
}

}  // namespace qb::platform::x11
