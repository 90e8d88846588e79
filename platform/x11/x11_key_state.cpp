#include "platform/x11/x11_key_state.h"

#include <X11/Xlib.h>

namespace qb::platform::x11 {
namespace {

// Windows' generic modifier codes are held when either side is.
int genericOf(std::uint16_t vk) {
  if (vk == 0xA0 || vk == 0xA1) return 0x10;
  if (vk == 0xA2 || vk == 0xA3) return 0x11;
  if (vk == 0xA4 || vk == 0xA5) return 0x12;
  return 0;
}

}  // namespace

bool X11KeyState::held(int vk) {
  Display* dpy = connection_.display();
  if (vk == 0x01 || vk == 0x02 || vk == 0x04) {
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(dpy, connection_.root(), &root, &child, &rx, &ry, &wx, &wy, &mask);
    const unsigned button = vk == 0x01 ? Button1Mask : vk == 0x02 ? Button3Mask : Button2Mask;
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
  const bool down = held(vk);
  Seen& seen = seen_[vk];
  const bool fresh = down && (!seen.heldAtLastQuery || seen.pressedSince);
  seen.heldAtLastQuery = down;
  seen.pressedSince = false;
  if (!down) return 0;
  return fresh ? 0x8001 : 0x8000;
}

void X11KeyState::noteKey(std::uint16_t vk, bool down) {
  if (!down) return;
  seen_[vk].pressedSince = true;
  if (const int generic = genericOf(vk)) seen_[generic].pressedSince = true;
}

}  // namespace qb::platform::x11
