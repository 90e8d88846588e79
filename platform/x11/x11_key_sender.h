#pragma once
#include <string_view>

#include "platform/input.h"
#include "platform/x11/x11_connection.h"

namespace qb::platform::x11 {

// Told before and after the program types keys of its own, so key grabs can step aside: the
// program's own input is never taken for a shortcut.
class OwnInputGuard {
 public:
  virtual ~OwnInputGuard() = default;
  // True when the guard needs our keys processed by the server before ownInputEnds().
  virtual bool ownInputStarts() = 0;
  virtual void ownInputEnds() = 0;
};

// Types key sequences through XTest. A virtual key presses the key the keyboard hook reports
// with that code. A character is typed with the key, level and group of the keymap that
// produce it without Caps Lock, adding Shift or AltGr (and locking the group) as needed, so a
// Caps Lock that is on changes letters as it would a person's typing. Characters and keys
// the keymap lacks are bound to spare keycodes for the moment: all of one sequence in one
// keymap change, typed, then restored in one change after a pause, because every change makes
// every client reload its keymap and a client reading the map after the restore would see the
// wrong symbol.
class X11KeySender final : public KeySender {
 public:
  explicit X11KeySender(Connection& connection) : connection_(connection) {}
  void setOwnInputGuard(OwnInputGuard* guard) { guard_ = guard; }

  // With `waitUntilProcessed` it returns after XSync: the server has processed every key
  // event and delivered it to the client owning the focus window (it sits in that client's
  // queue); whether the client has handled it yet, X cannot tell. Without, the events are
  // flushed to the server and the call returns at once.
  bool send(const KeySequence& keys, std::string_view text, bool waitUntilProcessed) override;

  // How long keys bound for the moment stay bound after they were typed.
  static constexpr int kRebindPauseMs = 40;

 private:
  Connection& connection_;
  OwnInputGuard* guard_ = nullptr;
};

}  // namespace qb::platform::x11
