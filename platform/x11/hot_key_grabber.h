#pragma once
// Global hot keys on X11: the shortcut maker's hot key text ("CTRL+ALT+K", "SHIFT+F7") turned
// into a key and modifiers and grabbed on the root window. The header stays free of Xlib's
// macros.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct _XDisplay;
union _XEvent;

namespace qb::platform::x11 {

struct HotKeyCombination {
  bool ctrl = false, shift = false, alt = false;
  std::string key;  // one character ("K", "!", "\\") or a function key ("F7")
  bool operator==(const HotKeyCombination&) const = default;
};

// The modifiers CTRL+, SHIFT+ and ALT+ (any order, any letter case) and then the key; none
// when the text names no key or a modifier twice.
std::optional<HotKeyCombination> parseHotKeyText(std::string_view text);

class HotKeyGrabber {
 public:
  enum class Result { Grabbed, Taken, SameAsEarlier, UnknownKey };

  explicit HotKeyGrabber(_XDisplay* dpy);
  ~HotKeyGrabber();
  HotKeyGrabber(const HotKeyGrabber&) = delete;
  HotKeyGrabber& operator=(const HotKeyGrabber&) = delete;

  // Grabs the combination with every state of Caps Lock and Num Lock, so the key works
  // whatever the lock lights say. A letter is its key without Shift; a character that needs
  // Shift on the keyboard map (such as "!") takes Shift too. Taken when another client holds
  // the key (nothing of it stays grabbed then); SameAsEarlier when an earlier grab of ours is
  // the same key.
  Result grab(const HotKeyCombination& combination, int id);
  void ungrabAll();
  // The id of the grabbed combination a KeyPress event is, if it is one.
  std::optional<int> match(const _XEvent& event) const;
  // The keyboard map changed: the keycodes and lock masks are read again (grabs are not redone).
  void refreshKeymap();

 private:
  struct Grab {
    int id;
    int keycode;
    unsigned modifiers;  // without the lock modifiers
  };
  _XDisplay* dpy_;
  unsigned numLockMask_ = 0;
  unsigned altMask_ = 0;
  std::vector<Grab> grabs_;
};

}  // namespace qb::platform::x11
