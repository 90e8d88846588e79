#include "platform/x11/hot_key_grabber.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include "platform/x11/x11_connection.h"

namespace qb::platform::x11 {
namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != prefix[i]) return false;
  }
  return true;
}

// The code point of a one-character UTF-8 text; none for more or less than one character.
std::optional<unsigned> singleCharacter(std::string_view text) {
  if (text.empty()) return std::nullopt;
  const auto lead = static_cast<unsigned char>(text[0]);
  const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (text.size() != length) return std::nullopt;
  if (length == 1) return lead;
  unsigned cp = lead & (0x7Fu >> length);
  for (std::size_t i = 1; i < length; ++i)
    cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3Fu);
  return cp;
}

KeySym keysymOf(std::string_view key) {
  if (const auto cp = singleCharacter(key)) {
    unsigned c = *cp;
    if (c >= 'A' && c <= 'Z') c = c - 'A' + 'a';  // a letter is its key, Shift or not
    return c < 0x100 ? c : 0x1000000u | c;
  }
  return XStringToKeysym(std::string(key).c_str());
}

constexpr unsigned kModifierBits =
    ShiftMask | ControlMask | Mod1Mask | Mod2Mask | Mod3Mask | Mod4Mask | Mod5Mask;

}  // namespace

std::optional<HotKeyCombination> parseHotKeyText(std::string_view text) {
  HotKeyCombination combination;
  for (;;) {
    bool* flag = nullptr;
    std::size_t length = 0;
    if (startsWithNoCase(text, "CTRL+"))
      flag = &combination.ctrl, length = 5;
    else if (startsWithNoCase(text, "SHIFT+"))
      flag = &combination.shift, length = 6;
    else if (startsWithNoCase(text, "ALT+"))
      flag = &combination.alt, length = 4;
    // "CTRL++" is Ctrl with the plus key: a modifier needs a key after it.
    if (!flag || text.size() == length) break;
    if (*flag) return std::nullopt;
    *flag = true;
    text.remove_prefix(length);
  }
  if (text.empty()) return std::nullopt;
  combination.key = std::string(text);
  return combination;
}

HotKeyGrabber::HotKeyGrabber(_XDisplay* dpy) : dpy_(dpy) {
  installErrorHandler();
  refreshKeymap();
}

HotKeyGrabber::~HotKeyGrabber() {
  ungrabAll();
}

void HotKeyGrabber::refreshKeymap() {
  numLockMask_ = 0;
  altMask_ = 0;
  XModifierKeymap* mods = XGetModifierMapping(dpy_);
  if (mods) {
    for (int mod = 0; mod < 8; ++mod)
      for (int i = 0; i < mods->max_keypermod; ++i) {
        const KeyCode kc = mods->modifiermap[mod * mods->max_keypermod + i];
        if (!kc) continue;
        const KeySym sym = XkbKeycodeToKeysym(dpy_, kc, 0, 0);
        if (sym == XK_Num_Lock) numLockMask_ |= 1u << mod;
        if ((sym == XK_Alt_L || sym == XK_Alt_R) && mod >= Mod1MapIndex) altMask_ |= 1u << mod;
      }
    XFreeModifiermap(mods);
  }
  if (!altMask_) altMask_ = Mod1Mask;
}

HotKeyGrabber::Result HotKeyGrabber::grab(const HotKeyCombination& combination, int id) {
  const KeySym sym = keysymOf(combination.key);
  const int keycode = sym == NoSymbol ? 0 : XKeysymToKeycode(dpy_, sym);
  if (!keycode) return Result::UnknownKey;
  unsigned modifiers = (combination.ctrl ? ControlMask : 0) | (combination.shift ? ShiftMask : 0) |
                       (combination.alt ? altMask_ : 0);
  if (XkbKeycodeToKeysym(dpy_, static_cast<KeyCode>(keycode), 0, 0) != sym &&
      XkbKeycodeToKeysym(dpy_, static_cast<KeyCode>(keycode), 0, 1) == sym)
    modifiers |= ShiftMask;
  for (const Grab& g : grabs_)
    if (g.keycode == keycode && g.modifiers == modifiers) return Result::SameAsEarlier;
  std::vector<unsigned> locks{0, LockMask};
  if (numLockMask_) locks.insert(locks.end(), {numLockMask_, numLockMask_ | LockMask});
  const Window root = DefaultRootWindow(dpy_);
  ErrorTrap trap(dpy_);
  for (unsigned lock : locks)
    XGrabKey(dpy_, keycode, modifiers | lock, root, False, GrabModeAsync, GrabModeAsync);
  if (trap.sync() != 0) {
    // Some of the variants may have been ours before the error: give all of them back.
    for (unsigned lock : locks) XUngrabKey(dpy_, keycode, modifiers | lock, root);
    XSync(dpy_, False);
    return Result::Taken;
  }
  grabs_.push_back(Grab{id, keycode, modifiers});
  return Result::Grabbed;
}

void HotKeyGrabber::ungrabAll() {
  const Window root = DefaultRootWindow(dpy_);
  std::vector<unsigned> locks{0, LockMask};
  if (numLockMask_) locks.insert(locks.end(), {numLockMask_, numLockMask_ | LockMask});
  for (const Grab& g : grabs_)
    for (unsigned lock : locks) XUngrabKey(dpy_, g.keycode, g.modifiers | lock, root);
  grabs_.clear();
  XFlush(dpy_);
}

std::optional<int> HotKeyGrabber::match(const _XEvent& event) const {
  if (event.type != KeyPress) return std::nullopt;
  const unsigned state = event.xkey.state & kModifierBits & ~numLockMask_;
  for (const Grab& g : grabs_)
    if (static_cast<int>(event.xkey.keycode) == g.keycode && state == g.modifiers) return g.id;
  return std::nullopt;
}

}  // namespace qb::platform::x11
