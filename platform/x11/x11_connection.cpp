#include "platform/x11/x11_connection.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>
#include <set>

#include "platform/posix/xdg_folders.h"

namespace qb::platform::x11 {

int handleXError(_XDisplay* dpy, void* eventPtr);

namespace {

ErrorTrap* gInnermost = nullptr;
XErrorHandler gPrevious = nullptr;
bool gInstalled = false;
std::set<Display*>& ourDisplays() {
  static std::set<Display*> displays;
  return displays;
}

int onXError(Display* dpy, XErrorEvent* event) {
  return handleXError(dpy, event);
}

std::string displayName() {
  const char* name = std::getenv("DISPLAY");
  return name ? name : "";
}

}  // namespace

int handleXError(_XDisplay* dpy, void* eventPtr) {
  auto* event = static_cast<XErrorEvent*>(eventPtr);
  for (ErrorTrap* trap = gInnermost; trap; trap = trap->outer_) {
    if (trap->dpy_ == dpy && event->serial >= trap->firstSerial_) {
      if (trap->error_ == 0) trap->error_ = event->error_code;
      return 0;
    }
  }
  if (ourDisplays().count(dpy)) return 0;  // a stale window or key another client holds
  return gPrevious ? gPrevious(dpy, event) : 0;
}

void installErrorHandler() {
  if (gInstalled) return;
  gInstalled = true;
  gPrevious = XSetErrorHandler(onXError);
}

std::string x11Unavailable() {
  const std::string name = displayName();
  if (name.empty()) {
    if (waylandSession())
      return "Quillbarrow needs an X11 display, and this Wayland session gives it none: DISPLAY "
             "is not set. Run it where XWayland is available (DISPLAY set), or in an X11 "
             "session.";
    return "Quillbarrow needs an X11 display: set DISPLAY (for example DISPLAY=:0) to a running "
           "X server.";
  }
  return {};
}

Result<std::unique_ptr<Connection>> Connection::open() {
  if (std::string reason = x11Unavailable(); !reason.empty()) return fail(reason);
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) {
    std::string reason = "Quillbarrow cannot connect to the X11 display \"" + displayName() +
                         "\": check that the X server runs and that this user may use it (xauth, "
                         "xhost).";
    if (waylandSession()) reason += " Wayland sessions need XWayland for Quillbarrow.";
    return fail(reason);
  }
  installErrorHandler();
  return std::unique_ptr<Connection>(new Connection(dpy));
}

Connection::Connection(_XDisplay* dpy) : dpy_(dpy), root_(DefaultRootWindow(dpy)) {
  ourDisplays().insert(dpy);
}

Connection::~Connection() {
  ourDisplays().erase(dpy_);
  XCloseDisplay(dpy_);
}

int Connection::fd() const {
  return ConnectionNumber(dpy_);
}

std::string Connection::missingExtensions() const {
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(dpy_, &event, &error, &major, &minor))
    return "The X server has no XTEST extension, which Quillbarrow needs to play macros.";
  int opcode = 0;
  major = 2;
  minor = 2;
  if (!XQueryExtension(dpy_, "XInputExtension", &opcode, &event, &error) ||
      XIQueryVersion(dpy_, &major, &minor) != Success || major * 100 + minor < 202)
    return "The X server has no XInput 2.2 extension, which Quillbarrow needs to see the "
           "keyboard.";
  return {};
}

void Connection::drain() {
  while (XPending(dpy_) > 0) {
    XEvent event;
    XNextEvent(dpy_, &event);
    if (event.type == MappingNotify) {
      XRefreshKeyboardMapping(&event.xmapping);
      if (event.xmapping.request != MappingPointer) ++keymapGeneration_;
    }
  }
}

ErrorTrap::ErrorTrap(_XDisplay* dpy)
    : dpy_(dpy), firstSerial_(NextRequest(dpy)), outer_(gInnermost) {
  installErrorHandler();
  gInnermost = this;
}

ErrorTrap::~ErrorTrap() {
  XSync(dpy_, False);  // errors of our requests must arrive while we are still listening
  gInnermost = outer_;
}

int ErrorTrap::sync() {
  XSync(dpy_, False);
  return error_;
}

}  // namespace qb::platform::x11
