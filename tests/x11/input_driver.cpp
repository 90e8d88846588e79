#include "tests/x11/input_driver.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput.h>
#include <X11/extensions/XTest.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace qb::x11test {
namespace {

XDevice* openDevice(Display* dpy, const char* name) {
  int count = 0;
  XDeviceInfo* devices = XListInputDevices(dpy, &count);
  XID id = 0;
  bool found = false;
  for (int i = 0; i < count; ++i)
    if (std::strcmp(devices[i].name, name) == 0) {
      id = devices[i].id;
      found = true;
    }
  if (devices) XFreeDeviceList(devices);
  return found ? XOpenDevice(dpy, id) : nullptr;
}

}  // namespace

InputDriver::InputDriver(const std::string& display) {
  dpy_ = XOpenDisplay(display.c_str());
  if (!dpy_) throw std::runtime_error("cannot open display " + display);
  keyboard_ = openDevice(dpy_, "Xvfb keyboard");
  mouse_ = openDevice(dpy_, "Xvfb mouse");
  if (!keyboard_ || !mouse_) throw std::runtime_error("Xvfb has no keyboard or mouse device");
}

InputDriver::~InputDriver() {
  XCloseDevice(dpy_, static_cast<XDevice*>(keyboard_));
  XCloseDevice(dpy_, static_cast<XDevice*>(mouse_));
  XCloseDisplay(dpy_);
}

int InputDriver::keycode(const std::string& keysymName) {
  const KeySym sym = XStringToKeysym(keysymName.c_str());
  if (sym == NoSymbol) return 0;
  XkbDescPtr xkb = XkbGetMap(dpy_, XkbKeySymsMask | XkbKeyTypesMask, XkbUseCoreKbd);
  int found = 0;
  for (int kc = xkb->min_key_code; kc <= xkb->max_key_code && !found; ++kc)
    for (int g = 0; g < XkbKeyNumGroups(xkb, kc) && !found; ++g)
      for (int level = 0; level < XkbKeyGroupWidth(xkb, kc, g) && !found; ++level)
        if (XkbKeySymEntry(xkb, kc, level, g) == sym) found = kc;
  XkbFreeKeyboard(xkb, 0, True);
  return found;
}

void InputDriver::key(int keycode, bool down, Source source) {
  if (source == Source::Physical)
    XTestFakeDeviceKeyEvent(dpy_, static_cast<XDevice*>(keyboard_), static_cast<unsigned>(keycode),
                            down, nullptr, 0, 0);
  else
    XTestFakeKeyEvent(dpy_, static_cast<unsigned>(keycode), down, 0);
  XFlush(dpy_);
}

void InputDriver::key(const std::string& keysymName, bool down, Source source) {
  const int kc = keycode(keysymName);
  if (!kc) throw std::runtime_error("no key for " + keysymName);
  key(kc, down, source);
}

void InputDriver::tap(int keycode, Source source) {
  key(keycode, true, source);
  key(keycode, false, source);
}

void InputDriver::tap(const std::string& keysymName, Source source) {
  key(keysymName, true, source);
  key(keysymName, false, source);
}

void InputDriver::button(unsigned button, bool down, Source source) {
  if (source == Source::Physical)
    XTestFakeDeviceButtonEvent(dpy_, static_cast<XDevice*>(mouse_), button, down, nullptr, 0, 0);
  else
    XTestFakeButtonEvent(dpy_, button, down, 0);
  XFlush(dpy_);
}

void InputDriver::move(int x, int y, Source source) {
  if (source == Source::Physical) {
    int axes[2] = {x, y};
    XTestFakeDeviceMotionEvent(dpy_, static_cast<XDevice*>(mouse_), False, 0, axes, 2, 0);
  } else {
    XTestFakeMotionEvent(dpy_, -1, x, y, 0);
  }
  XFlush(dpy_);
}

void InputDriver::activate(unsigned long window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(dpy_, "_NET_ACTIVE_WINDOW", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = 2;  // a pager's request, which the window manager honours
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(dpy_, DefaultRootWindow(dpy_), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XSync(dpy_, False);
}

void InputDriver::sync() {
  XSync(dpy_, False);
}

std::pair<int, int> InputDriver::pointer() {
  Window root = 0, child = 0;
  int x = 0, y = 0, wx = 0, wy = 0;
  unsigned mask = 0;
  XQueryPointer(dpy_, DefaultRootWindow(dpy_), &root, &child, &x, &y, &wx, &wy, &mask);
  return {x, y};
}

std::pair<int, int> InputDriver::toRoot(unsigned long window, int x, int y) {
  Window child = 0;
  int rx = 0, ry = 0;
  XTranslateCoordinates(dpy_, window, DefaultRootWindow(dpy_), x, y, &rx, &ry, &child);
  return {rx, ry};
}

std::vector<unsigned long> InputDriver::keyboardMapping() {
  int min = 0, max = 0, per = 0;
  XDisplayKeycodes(dpy_, &min, &max);
  KeySym* map = XGetKeyboardMapping(dpy_, static_cast<KeyCode>(min), max - min + 1, &per);
  std::vector<unsigned long> out(map, map + per * (max - min + 1));
  XFree(map);
  return out;
}

bool InputDriver::capsLocked() {
  XkbStateRec state{};
  XkbGetState(dpy_, XkbUseCoreKbd, &state);
  return (state.locked_mods & LockMask) != 0;
}

void InputDriver::setCapsLock(bool on) {
  if (capsLocked() == on) return;
  tap("Caps_Lock");
  sync();
}

int InputDriver::lockedGroup() {
  XkbStateRec state{};
  XkbGetState(dpy_, XkbUseCoreKbd, &state);
  return state.locked_group;
}

bool InputDriver::hasWindowState(unsigned long window, const std::string& stateAtom) {
  const Atom property = XInternAtom(dpy_, "_NET_WM_STATE", False);
  const Atom wanted = XInternAtom(dpy_, stateAtom.c_str(), False);
  Atom type = 0;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  bool found = false;
  if (XGetWindowProperty(dpy_, window, property, 0, 64, False, XA_ATOM, &type, &format, &items,
                         &after, &data) == Success &&
      data) {
    for (unsigned long i = 0; i < items; ++i) found |= reinterpret_cast<Atom*>(data)[i] == wanted;
    XFree(data);
  }
  return found;
}

int InputDriver::windowProcess(unsigned long window) {
  Atom type = 0;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  int pid = 0;
  if (XGetWindowProperty(dpy_, window, XInternAtom(dpy_, "_NET_WM_PID", False), 0, 1, False,
                         XA_CARDINAL, &type, &format, &items, &after, &data) == Success &&
      data) {
    if (items == 1) pid = static_cast<int>(*reinterpret_cast<unsigned long*>(data));
    XFree(data);
  }
  return pid;
}

void InputDriver::setAutoRepeat(unsigned delayMs, unsigned intervalMs) {
  XkbSetAutoRepeatRate(dpy_, XkbUseCoreKbd, delayMs, intervalMs);
  XSync(dpy_, False);
}

void InputDriver::setLeftHanded(bool on) {
  unsigned char map[32] = {};
  const int n = XGetPointerMapping(dpy_, map, sizeof map);
  if (n >= 3) {
    map[0] = on ? 3 : 1;
    map[2] = on ? 1 : 3;
    // The server refuses the change while a button is down (MappingBusy): try again.
    for (int attempt = 0; attempt < 50 && XSetPointerMapping(dpy_, map, n) == MappingBusy;
         ++attempt)
      usleep(10000);
  }
  XSync(dpy_, False);
}

void InputDriver::grabKey(int keycode, bool grab) {
  if (grab)
    XGrabKey(dpy_, keycode, 0, DefaultRootWindow(dpy_), False, GrabModeAsync, GrabModeAsync);
  else
    XUngrabKey(dpy_, keycode, 0, DefaultRootWindow(dpy_));
  XSync(dpy_, False);
}

}  // namespace qb::x11test
