#include "platform/x11/x11_pointer.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace qb::platform::x11 {

bool X11Pointer::position(Point& out) {
  Display* dpy = connection_.display();
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned mask = 0;
  if (!XQueryPointer(dpy, connection_.root(), &root, &child, &rootX, &rootY, &winX, &winY, &mask))
    return false;  // the pointer is on another screen of the display
  out = Point{rootX, rootY};
  return true;
}

bool X11Pointer::setPosition(Point to) {
  XWarpPointer(connection_.display(), None, connection_.root(), 0, 0, 0, 0, to.x, to.y);
  XFlush(connection_.display());
  return true;
}

bool X11Pointer::press(MouseButton button, bool down) {
  const unsigned x11Button = button == MouseButton::Left ? 1 : 3;
  const bool ok =
      XTestFakeButtonEvent(connection_.display(), x11Button, down ? True : False, CurrentTime) != 0;
  XFlush(connection_.display());
  return ok;
}

}  // namespace qb::platform::x11
