#include "platform/x11/x11_keyboard_hook.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/clock.h"
#include "platform/virtual_keys.h"
#include "platform/x11/key_codes.h"

namespace qb::platform::x11 {
namespace {

// Answers kept per key to match a grabbed key event with the raw event of the same press.
constexpr std::size_t kDecisionsKept = 8;

std::uint32_t tickNow() {
  using namespace std::chrono;
  return static_cast<std::uint32_t>(
      tickCount(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count()));
}

void selectRawKeys(Display* dpy, Window root, bool on) {
  unsigned char keys[XIMaskLen(XI_LASTEVENT)] = {};
  unsigned char devices[XIMaskLen(XI_LASTEVENT)] = {};
  if (on) {
    XISetMask(keys, XI_RawKeyPress);
    XISetMask(keys, XI_RawKeyRelease);
    XISetMask(devices, XI_HierarchyChanged);
  }
  XIEventMask masks[2] = {{XIAllMasterDevices, sizeof keys, keys},
                          {XIAllDevices, sizeof devices, devices}};
  XISelectEvents(dpy, root, masks, 2);
}

}  // namespace

X11KeyboardHook::X11KeyboardHook() = default;

X11KeyboardHook::~X11KeyboardHook() {
  uninstall();
  loop_.reset();
  connection_.reset();
}

bool X11KeyboardHook::connect() {
  auto opened = Connection::open();
  if (!opened) {
    error_ = opened.message();
    return false;
  }
  connection_ = std::move(*opened);
  Display* dpy = connection_->display();
  int event = 0, errorBase = 0;
  int major = 2, minor = 2;
  if (!XQueryExtension(dpy, "XInputExtension", &xiOpcode_, &event, &errorBase) ||
      XIQueryVersion(dpy, &major, &minor) != Success || major * 100 + minor < 202) {
    error_ =
        "The X server has no XInput 2.2 extension, which Quillbarrow needs to see the "
        "keyboard.";
    connection_.reset();
    return false;
  }
  // Num Lock decides what keypad keys report. The state a key event was made in is the one
  // the lock changes before it in the event stream left, not the one the server has now.
  int xkbOpcode = 0, xkbError = 0, xkbMajor = XkbMajorVersion, xkbMinor = XkbMinorVersion;
  if (XkbQueryExtension(dpy, &xkbOpcode, &xkbEventBase_, &xkbError, &xkbMajor, &xkbMinor)) {
    XkbSelectEventDetails(dpy, XkbUseCoreKbd, XkbStateNotify, XkbModifierLockMask,
                          XkbModifierLockMask);
    XkbStateRec state{};
    XkbGetState(dpy, XkbUseCoreKbd, &state);
    lockedMods_ = state.locked_mods;
  }
  refreshKeymap();
  refreshDevices();
  loop_ = std::make_unique<QtLoopLink>();
  // Any round trip may leave events in Xlib's queue with the socket quiet: look before the
  // loop goes to sleep too.
  loop_->watch(
      connection_->fd(), [this] { dispatch(); },
      [this] {
        if (connection_ && XQLength(connection_->display()) > 0) dispatch();
      });
  return true;
}

bool X11KeyboardHook::install(Callback callback) {
  if (!connection_ && !connect()) return false;
  const bool wasInstalled = static_cast<bool>(callback_);
  callback_ = std::move(callback);
  if (!wasInstalled) {
    selectRawKeys(connection_->display(), connection_->root(), true);
    grabAll();
    XFlush(connection_->display());
  }
  return true;
}

void X11KeyboardHook::uninstall() {
  if (!connection_) return;
  callback_ = nullptr;
  ungrabAll();
  selectRawKeys(connection_->display(), connection_->root(), false);
  XFlush(connection_->display());
  loop_->stopTimer();
  repeatKey_ = 0;
  down_.clear();
  decisions_.clear();
  swallowedHeld_.clear();
}

void X11KeyboardHook::setSwallowable(std::vector<SwallowableKey> keys) {
  if (keys == swallowable_) return;
  swallowable_ = std::move(keys);
  if (!connection_) return;
  ungrabAll();
  grabAll();
}

bool X11KeyboardHook::ownInputStarts() {
  if (++suspended_ != 1 || grabs_.empty()) return false;
  ungrabAll();
  XSync(connection_->display(), False);
  // A grabbed key may hold the keyboard frozen until it is answered; our keys would queue
  // behind it (and a key bound for the moment be unbound before it is delivered).
  dispatch();
  return true;
}

void X11KeyboardHook::ownInputEnds() {
  if (suspended_ > 0 && --suspended_ == 0) grabAll();
}

void X11KeyboardHook::grabAll() {
  if (!connection_ || !callback_ || suspended_ > 0 || swallowable_.empty()) return;
  Display* dpy = connection_->display();
  std::vector<unsigned> locks{0, LockMask};
  if (numLockMask_) locks.insert(locks.end(), {numLockMask_, numLockMask_ | LockMask});
  const auto grabKey = [&](const SwallowableKey& key, std::vector<Grab>& made) {
    const unsigned base = key.withLeftCtrl || key.vkCode == vk::Cancel ? ControlMask : 0;
    // Shift does not change what the hook decides for these keys (Shift+F5 fires row 5,
    // Ctrl+Shift+R records), so the grab takes the key with Shift held too.
    for (int kc : translator_.keycodesFor(static_cast<std::uint16_t>(key.vkCode)))
      for (unsigned shift : {0u, static_cast<unsigned>(ShiftMask)})
        for (unsigned lock : locks) {
          const unsigned modifiers = base | shift | lock;
          XGrabKey(dpy, kc, modifiers, connection_->root(), False, GrabModeAsync, GrabModeSync);
          made.push_back(Grab{kc, modifiers});
        }
  };
  const auto release = [&](const std::vector<Grab>& made) {
    for (const Grab& g : made) XUngrabKey(dpy, g.keycode, g.modifiers, connection_->root());
  };
  ungrabbable_.clear();
  std::vector<Grab> all;
  {
    ErrorTrap trap(dpy);
    for (const auto& key : swallowable_) grabKey(key, all);
    if (trap.sync() == 0) {
      grabs_ = std::move(all);
      scheduleDispatch();
      return;
    }
  }
  // Another client holds one of the keys (BadAccess): find out which, key by key.
  release(all);
  for (const auto& key : swallowable_) {
    std::vector<Grab> made;
    ErrorTrap trap(dpy);
    grabKey(key, made);
    if (trap.sync() == 0) {
      grabs_.insert(grabs_.end(), made.begin(), made.end());
    } else {
      release(made);
      ungrabbable_.push_back(key);
    }
  }
  scheduleDispatch();
}

void X11KeyboardHook::ungrabAll() {
  if (!connection_) return;
  for (const Grab& g : grabs_)
    XUngrabKey(connection_->display(), g.keycode, g.modifiers, connection_->root());
  grabs_.clear();
}

void X11KeyboardHook::scheduleDispatch() {
  if (dispatchScheduled_ || !loop_) return;
  dispatchScheduled_ = true;
  loop_->post([this] {
    dispatchScheduled_ = false;
    dispatch();
  });
}

void X11KeyboardHook::dispatch() {
  if (dispatching_ || !connection_) return;
  dispatching_ = true;
  Display* dpy = connection_->display();
  while (XPending(dpy) > 0) {
    XEvent event;
    XNextEvent(dpy, &event);
    handle(&event);
  }
  dispatching_ = false;
}

void X11KeyboardHook::handle(void* eventPtr) {
  auto& event = *static_cast<XEvent*>(eventPtr);
  Display* dpy = connection_->display();
  if (xkbEventBase_ >= 0 && event.type == xkbEventBase_) {
    const auto& xkb = reinterpret_cast<const XkbEvent&>(event);
    if (xkb.any.xkb_type == XkbStateNotify) lockedMods_ = xkb.state.locked_mods;
    return;
  }
  switch (event.type) {
    case GenericEvent: {
      XGenericEventCookie* cookie = &event.xcookie;
      if (cookie->extension != xiOpcode_ || !XGetEventData(dpy, cookie)) return;
      if (cookie->evtype == XI_RawKeyPress || cookie->evtype == XI_RawKeyRelease) {
        const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
        onRawKey(raw->detail, raw->sourceid, raw->time, cookie->evtype == XI_RawKeyPress);
      } else if (cookie->evtype == XI_HierarchyChanged) {
        refreshDevices();
      }
      XFreeEventData(dpy, cookie);
      return;
    }
    case KeyPress:
    case KeyRelease:
      onGrabbedKey(static_cast<int>(event.xkey.keycode), event.xkey.time, event.type == KeyPress);
      return;
    case MappingNotify:
      XRefreshKeyboardMapping(&event.xmapping);
      if (event.xmapping.request == MappingPointer) return;
      refreshKeymap();
      if (!grabs_.empty() || (callback_ && suspended_ == 0)) {
        ungrabAll();
        grabAll();
      }
      return;
    default:
      return;
  }
}

void X11KeyboardHook::onRawKey(int keycode, int sourceId, unsigned long time, bool down) {
  const bool injected = isXTestDevice(sourceId);
  const auto held = down_.find(keycode);
  if (!down && held == down_.end()) return;  // raw events may repeat a release
  const bool repeat = down && held != down_.end();
  KeyTranslation key;
  if (held != down_.end()) {
    key = held->second;  // the up reports what the down reported
  } else {
    const bool numLock = numLockMask_ && (lockedMods_ & numLockMask_);
    key = translator_.translate(keycode, numLock, keyDown(vk::LControl, vk::RControl));
    if (key.vk == 0 || key.vk == vk::Unassigned) {
      // A key without a symbol is one a sender bound for a moment to type a character: report
      // it the way Windows reports typed characters.
      if (injected)
        key = KeyTranslation{vk::Packet, 0, false};
      else if (key.vk == 0)
        key.vk = vk::Unassigned;
    }
  }
  if (down)
    down_[keycode] = key;
  else
    down_.erase(keycode);

  HookKeyEvent event;
  event.vkCode = key.vk;
  event.scanCode = key.scanCode;
  event.time = static_cast<std::uint32_t>(time);
  event.flags = (key.extended ? kHookExtended : 0) | (injected ? kHookInjected : 0) |
                (keyDown(vk::LMenu, vk::RMenu) ? kHookAltDown : 0) | (down ? 0 : kHookUp);
  if (!injected && !repeat && observer_) observer_(key.vk, down);
  const bool swallowed = deliver(keycode, event, time, down);
  // The server repeats a held key as a release and a press without raw events of their own:
  // a key swallowed when it went down is swallowed until it really goes up.
  if (down && !repeat && swallowed)
    swallowedHeld_.insert(keycode);
  else if (!down)
    swallowedHeld_.erase(keycode);
  if (injected) return;
  if (down && !repeat)
    startRepeat(keycode);
  else if (!down && keycode == repeatKey_) {
    loop_->stopTimer();
    repeatKey_ = 0;
  }
}

bool X11KeyboardHook::deliver(int keycode, const HookKeyEvent& event, unsigned long time,
                              bool down) {
  const Callback callback = callback_;  // the callback may remove or replace the hook
  ++delivering_;
  const bool swallow = callback ? callback(event) : false;
  --delivering_;
  auto& decisions = decisions_[keycode];
  decisions.push_back(Decision{time, down, swallow});
  if (decisions.size() > kDecisionsKept) decisions.pop_front();
  return swallow;
}

void X11KeyboardHook::onGrabbedKey(int keycode, unsigned long time, bool down) {
  // The raw event of the same key event came first and carries the same time. A key the
  // server repeats has no raw event, neither for the repeat's press nor for its release: while
  // a swallowed key is held both stay with us, else they get the answer to the latest event of
  // their kind.
  bool swallow = false;
  bool exact = false;
  if (auto it = decisions_.find(keycode); it != decisions_.end()) {
    for (auto d = it->second.rbegin(); d != it->second.rend() && !exact; ++d)
      if (d->down == down && d->time == time) swallow = d->swallow, exact = true;
    if (!exact && swallowedHeld_.count(keycode))
      swallow = true;
    else if (!exact)
      for (auto d = it->second.rbegin(); d != it->second.rend(); ++d)
        if (d->down == down) {
          swallow = d->swallow;
          break;
        }
  }
  Display* dpy = connection_->display();
  if (swallow) {
    // Keep the key and end the grab at once, which also thaws the keyboard: the keys queued
    // behind this one, and those typed while it is held, go to the focus window.
    XUngrabKeyboard(dpy, CurrentTime);
  } else {
    XAllowEvents(dpy, ReplayKeyboard, CurrentTime);
  }
  XFlush(dpy);
}

void X11KeyboardHook::startRepeat(int keycode) {
  Display* dpy = connection_->display();
  XKeyboardState control{};
  XGetKeyboardControl(dpy, &control);
  unsigned delay = 660, interval = 40;
  if (control.global_auto_repeat == AutoRepeatModeOff ||
      !XkbGetAutoRepeatRate(dpy, XkbUseCoreKbd, &delay, &interval)) {
    loop_->stopTimer();
    repeatKey_ = 0;
    return;
  }
  repeatKey_ = keycode;
  repeatIntervalMs_ = static_cast<int>(std::max(1u, interval));
  loop_->startTimer(static_cast<int>(delay), [this] { repeatTick(); });
}

void X11KeyboardHook::repeatTick() {
  const auto held = down_.find(repeatKey_);
  if (repeatKey_ == 0 || held == down_.end() || !callback_) return;
  HookKeyEvent event;
  event.vkCode = held->second.vk;
  event.scanCode = held->second.scanCode;
  event.time = tickNow();
  event.flags = (held->second.extended ? kHookExtended : 0) |
                (keyDown(vk::LMenu, vk::RMenu) ? kHookAltDown : 0);
  const int keycode = repeatKey_;
  loop_->startTimer(repeatIntervalMs_, [this] { repeatTick(); });
  deliver(keycode, event, event.time, true);
}

std::optional<bool> X11KeyboardHook::heldAtEvent(std::uint16_t vk) const {
  if (delivering_ == 0) return std::nullopt;
  switch (vk) {
    case vk::Shift:
      return keyDown(vk::LShift, vk::RShift);
    case vk::Control:
      return keyDown(vk::LControl, vk::RControl);
    case vk::Menu:
      return keyDown(vk::LMenu, vk::RMenu);
    default:
      return keyDown(vk, vk);
  }
}

bool X11KeyboardHook::keyDown(std::uint16_t vkA, std::uint16_t vkB) const {
  for (const auto& [kc, key] : down_)
    if (key.vk == vkA || key.vk == vkB) return true;
  return false;
}

void X11KeyboardHook::refreshKeymap() {
  Display* dpy = connection_->display();
  translator_.load(dpy);
  numLockMask_ = 0;
  XModifierKeymap* mods = XGetModifierMapping(dpy);
  if (!mods) return;
  for (int mod = 0; mod < 8; ++mod)
    for (int i = 0; i < mods->max_keypermod; ++i) {
      const KeyCode kc = mods->modifiermap[mod * mods->max_keypermod + i];
      if (kc && XkbKeycodeToKeysym(dpy, kc, 0, 0) == XK_Num_Lock) numLockMask_ |= 1u << mod;
    }
  XFreeModifiermap(mods);
}

void X11KeyboardHook::refreshDevices() {
  int count = 0;
  XIDeviceInfo* devices = XIQueryDevice(connection_->display(), XIAllDevices, &count);
  xtestDevice_.clear();
  for (int i = 0; i < count; ++i)
    xtestDevice_[devices[i].deviceid] = std::strstr(devices[i].name, "XTEST") != nullptr;
  if (devices) XIFreeDeviceInfo(devices);
}

bool X11KeyboardHook::isXTestDevice(int deviceId) {
  if (!xtestDevice_.count(deviceId)) refreshDevices();
  const auto it = xtestDevice_.find(deviceId);
  return it != xtestDevice_.end() && it->second;
}

}  // namespace qb::platform::x11
