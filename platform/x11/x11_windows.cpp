#include "platform/x11/x11_windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <thread>

namespace qb::platform::x11 {
namespace {

// A property's items, or nothing when the window is gone or the property has another type.
std::vector<unsigned char> readProperty(Display* dpy, Window window, Atom property, Atom type,
                                        int format, unsigned long& items) {
  items = 0;
  Atom actualType = 0;
  int actualFormat = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  ErrorTrap trap(dpy);
  const int status = XGetWindowProperty(dpy, window, property, 0, 1 << 20, False, type, &actualType,
                                        &actualFormat, &count, &after, &data);
  std::vector<unsigned char> out;
  if (status == Success && data && actualType == type && actualFormat == format) {
    const std::size_t unit = format == 8 ? 1 : format == 16 ? sizeof(short) : sizeof(long);
    out.assign(data, data + count * unit);
    items = count;
  }
  if (data) XFree(data);
  return out;
}

}  // namespace

X11Windows::X11Windows(Connection& connection) : connection_(connection) {
  Display* dpy = connection_.display();
  atomActive_ = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
  atomClients_ = XInternAtom(dpy, "_NET_CLIENT_LIST", False);
  atomName_ = XInternAtom(dpy, "_NET_WM_NAME", False);
  atomUtf8_ = XInternAtom(dpy, "UTF8_STRING", False);
  atomStamp_ = XInternAtom(dpy, "_QB_TIME_STAMP", False);
  // An unmapped window of our own, whose property changes give us the server's time.
  XSetWindowAttributes attributes{};
  attributes.event_mask = PropertyChangeMask;
  stampWindow_ = XCreateWindow(dpy, connection_.root(), -10, -10, 1, 1, 0, CopyFromParent,
                               InputOnly, CopyFromParent, CWEventMask, &attributes);
}

X11Windows::~X11Windows() {
  XDestroyWindow(connection_.display(), stampWindow_);
}

XId X11Windows::activeWindow() {
  unsigned long items = 0;
  const auto data =
      readProperty(connection_.display(), connection_.root(), atomActive_, XA_WINDOW, 32, items);
  if (items < 1) return 0;
  return reinterpret_cast<const unsigned long*>(data.data())[0];
}

std::vector<XId> X11Windows::clientList() {
  unsigned long items = 0;
  const auto data =
      readProperty(connection_.display(), connection_.root(), atomClients_, XA_WINDOW, 32, items);
  const auto* ids = reinterpret_cast<const unsigned long*>(data.data());
  return std::vector<XId>(ids, ids + items);
}

std::string X11Windows::titleOf(XId window) {
  Display* dpy = connection_.display();
  unsigned long items = 0;
  const auto utf8 = readProperty(dpy, window, atomName_, atomUtf8_, 8, items);
  if (items > 0) return std::string(utf8.begin(), utf8.end());
  // WM_NAME may be STRING (Latin-1), COMPOUND_TEXT or UTF8_STRING: let Xlib convert it.
  ErrorTrap trap(dpy);
  XTextProperty text{};
  std::string title;
  if (XGetWMName(dpy, window, &text) && text.value) {
    char** list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(dpy, &text, &list, &count) >= Success && list) {
      for (int i = 0; i < count; ++i) title += list[i];
      XFreeStringList(list);
    }
    XFree(text.value);
  }
  return title;
}

std::string X11Windows::foregroundTitle() {
  const XId window = activeWindow();
  return window ? titleOf(window) : std::string();
}

unsigned long X11Windows::serverTime() {
  Display* dpy = connection_.display();
  XChangeProperty(dpy, stampWindow_, atomStamp_, XA_STRING, 8, PropModeAppend, nullptr, 0);
  XEvent event;
  XWindowEvent(dpy, stampWindow_, PropertyChangeMask, &event);
  return event.xproperty.time;
}

bool X11Windows::activate(std::string_view title) {
  XId target = 0;
  std::vector<std::pair<XId, std::string>> windows;
  for (XId w : clientList()) windows.emplace_back(w, titleOf(w));
  for (const auto& [w, t] : windows)
    if (t == title) {
      target = w;
      break;
    }
  if (!target)
    for (const auto& [w, t] : windows)
      if (t.compare(0, title.size(), title) == 0) {
        target = w;
        break;
      }
  if (!target) return false;

  Display* dpy = connection_.display();
  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.window = target;
  message.xclient.message_type = atomActive_;
  message.xclient.format = 32;
  message.xclient.data.l[0] = 2;  // a pager: the window manager obeys without second thoughts
  message.xclient.data.l[1] = static_cast<long>(serverTime());
  message.xclient.data.l[2] = static_cast<long>(activeWindow());
  {
    ErrorTrap trap(dpy);
    XSendEvent(dpy, connection_.root(), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &message);
    if (trap.sync() != 0) return false;
  }
  // Keys typed next must reach the new window: wait until the window manager has switched.
  const auto until =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kActivationWaitMs);
  while (activeWindow() != target && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  return true;
}

}  // namespace qb::platform::x11
