#include "platform/x11/x11_key_state.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include "platform/virtual_keys.h"

namespace qb::platform::x11 {
namespace {

// Windows' generic modifier codes are held when either side is.
int genericOf(std::uint16_t vk) {
  if (vk == vk::LShift || vk == vk::RShift) return vk::Shift;
  if (vk == vk::LControl || vk == vk::RControl) return vk::Control;
  if (vk == vk::LMenu || vk == vk::RMenu) return vk::Menu;
  return 0;
}

}  // namespace

bool X11KeyState::held(int vk) {
  Display* dpy = connection_.display();
  if (vk == vk::LButton || vk == vk::RButton || vk == vk::MButton) {
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(dpy, connection_.root(), &root, &child, &rx, &ry, &wx, &wy, &mask);
    const unsigned button = vk == vk::LButton   ? Button1Mask
                            : vk == vk::RButton ? Button3Mask
                                                : Button2Mask;
    return (mask & button) != 0;
  }
  if (eventState_)
    if (const std::optional<bool> atEvent = eventState_(static_cast<std::uint16_t>(vk)))
      return *atEvent;
  connection_.drain();
  if (generation_ != connection_.keymapGeneration() || !translator_.loaded()) {
    translator_.load(dpy);
    generation_ = connection_.keymapGeneration();
  }
  char keys[32] = {};
  XQueryKeymap(dpy, keys);
  for (int kc : translator_.keycodesFor(static_cast<std::uint16_t>(vk)))
    if (kc >= 0 && kc < 256 && (keys[kc / 8] & (1 << (kc % 8)))) return true;
  return false;
}

std::uint16_t X11KeyState::asyncKeyState(int vk) {
  if (vk <= 0 || vk > 0xFF) return 0;
  countButtonPresses();  // the presses' connection is read often, so they never pile up
  const bool down = held(vk);
  Seen& seen = seen_[vk];
  const bool fresh = down && (!seen.heldAtLastQuery || seen.pressedSince);
  seen.heldAtLastQuery = down;
  seen.pressedSince = false;
  if (!down) return 0;
  return fresh ? 0x8001 : 0x8000;
}

void X11KeyState::countButtonPresses() {
  if (!buttons_) return;
  Display* dpy = buttons_->display();
  while (XPending(dpy) > 0) {
    XEvent event;
    XNextEvent(dpy, &event);
    if (event.type == MappingNotify && event.xmapping.request == MappingPointer) {
      buttonMapSize_ = XGetPointerMapping(dpy, buttonMap_, sizeof buttonMap_);
      continue;
    }
    XGenericEventCookie* cookie = &event.xcookie;
    if (event.type != GenericEvent || cookie->extension != xiOpcode_ || !XGetEventData(dpy, cookie))
      continue;
    if (cookie->evtype == XI_RawButtonPress) {
      const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
      const int button =
          raw->detail >= 1 && raw->detail <= buttonMapSize_ ? buttonMap_[raw->detail - 1] : 0;
      if (button >= 1 && button <= 3) ++presses_[button - 1];
    }
    XFreeEventData(dpy, cookie);
  }
}

std::uint32_t X11KeyState::buttonPresses(int vk) {
  if (!buttonsTried_) {
    buttonsTried_ = true;
    if (auto opened = Connection::open()) buttons_ = std::move(*opened);
    if (buttons_) {
      Display* dpy = buttons_->display();
      int opcode = 0, event = 0, error = 0, major = 2, minor = 2;
      if (XQueryExtension(dpy, "XInputExtension", &opcode, &event, &error) &&
          XIQueryVersion(dpy, &major, &minor) == Success) {
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        XISetMask(bits, XI_RawButtonPress);
        XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
        XISelectEvents(dpy, buttons_->root(), &mask, 1);
        XSync(dpy, False);
        xiOpcode_ = opcode;
        buttonMapSize_ = XGetPointerMapping(dpy, buttonMap_, sizeof buttonMap_);
      } else {
        buttons_.reset();
      }
    }
  }
  countButtonPresses();
  switch (vk) {
    case vk::LButton:
      return presses_[0];
    case vk::RButton:
      return presses_[2];
    case vk::MButton:
      return presses_[1];
    default:
      return 0;
  }
}

void X11KeyState::noteKey(std::uint16_t vk, bool down) {
  if (!down) return;
  seen_[vk].pressedSince = true;
  if (const int generic = genericOf(vk)) seen_[generic].pressedSince = true;
}

}  // namespace qb::platform::x11
