#pragma once
// The system-wide keyboard hook on X11. XInput2 raw key events on a connection of its own see
// every key, whichever window has the focus; they become Windows virtual keys and low-level hook
// flags: extended 0x01, injected 0x10 for input from an XTEST device (other programs' and our
// own synthesised keys), Alt down 0x20 while either Alt key is held (the Alt key's own down
// included), up 0x80. Raw events carry no auto-repeat, so a held physical key repeats its down
// event at the server's auto-repeat delay and rate, like Windows.
//
// X cannot take back a key it already delivered, so the keys the program may swallow are grabbed
// on the root window beforehand (synchronous grabs, for each combination of Caps Lock and Num
// Lock). A grabbed key freezes the keyboard until the callback's answer for it is known: a
// swallowed key stays with us, a passed one is replayed to the focus window by the server
// (XAllowEvents ReplayKeyboard) exactly as if no grab had been there.
//
// Tests that need "physical" keys on Xvfb type through the server's own "Xvfb keyboard"
// device (XTestFakeDeviceKeyEvent): it is not an XTEST device.

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "platform/keyboard_hook_source.h"
#include "platform/qt/qt_loop_link.h"
#include "platform/x11/key_translator.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_key_sender.h"

namespace qb::platform::x11 {

class X11KeyboardHook final : public KeyboardHookSource, public OwnInputGuard {
 public:
  X11KeyboardHook();
  ~X11KeyboardHook() override;
  X11KeyboardHook(const X11KeyboardHook&) = delete;
  X11KeyboardHook& operator=(const X11KeyboardHook&) = delete;

  bool install(Callback callback) override;
  void uninstall() override;
  void setSwallowable(std::vector<SwallowableKey> keys) override;

  bool ownInputStarts() override;
  void ownInputEnds() override;

  // Told of every physical key going down or up (not repeats), before the callback.
  void setPhysicalKeyObserver(std::function<void(std::uint16_t vk, bool down)> observer) {
    observer_ = std::move(observer);
  }
  // While the callback runs: whether a key (a virtual key, or the generic Shift, Ctrl or Alt
  // of either side) is down as of the event being reported; empty at any other time. A
  // program that lags behind the keyboard must judge a key by the keys held with it, not by
  // those held when it gets round to it.
  std::optional<bool> heldAtEvent(std::uint16_t vk) const;
  // Why install() failed.
  const std::string& error() const { return error_; }
  // The swallowable keys another client had grabbed already: they pass unswallowed.
  const std::vector<SwallowableKey>& ungrabbable() const { return ungrabbable_; }

 private:
  struct Decision {
    unsigned long time = 0;
    bool down = false;
    bool swallow = false;
  };
  struct Grab {
    int keycode;
    unsigned modifiers;
  };

  bool connect();
  void dispatch();
  void scheduleDispatch();
  void handle(void* event);
  void onRawKey(int keycode, int sourceId, unsigned long time, bool down);
  void onGrabbedKey(int keycode, unsigned long time, bool down);
  // The callback's answer, which it also keeps for the grabbed event of the same key event.
  bool deliver(int keycode, const HookKeyEvent& event, unsigned long time, bool down);
  void startRepeat(int keycode);
  bool isXTestDevice(int deviceId);
  void repeatTick();
  void refreshKeymap();
  void refreshDevices();
  bool keyDown(std::uint16_t vkA, std::uint16_t vkB) const;
  void grabAll();
  void ungrabAll();

  std::unique_ptr<Connection> connection_;
  int xiOpcode_ = 0;
  int xkbEventBase_ = -1;
  unsigned lockedMods_ = 0;  // as of the events handled so far
  std::unique_ptr<QtLoopLink> loop_;
  Callback callback_;
  std::function<void(std::uint16_t, bool)> observer_;
  std::string error_;

  KeyTranslator translator_;
  unsigned numLockMask_ = 0;
  std::map<int, bool> xtestDevice_;     // device id -> an XTEST device
  std::map<int, KeyTranslation> down_;  // held keys, as reported at their down
  std::map<int, std::deque<Decision>> decisions_;
  std::set<int> swallowedHeld_;  // held keys whose down was swallowed
  int repeatKey_ = 0;
  int repeatIntervalMs_ = 40;
  bool dispatching_ = false;
  int delivering_ = 0;
  bool dispatchScheduled_ = false;

  std::vector<SwallowableKey> swallowable_;
  std::vector<Grab> grabs_;
  std::vector<SwallowableKey> ungrabbable_;
  int suspended_ = 0;
};

}  // namespace qb::platform::x11
