#pragma once
#include "platform/input.h"
#include "platform/x11/x11_connection.h"

namespace qb::platform::x11 {

// The pointer in root-window pixels: moved with XWarpPointer, buttons pressed through XTest.
class X11Pointer final : public Cursor, public MouseButtons {
 public:
  explicit X11Pointer(Connection& connection) : connection_(connection) {}
  bool position(Point& out) override;
  bool setPosition(Point to) override;
  bool press(MouseButton button, bool down) override;

 private:
  Connection& connection_;
};

}  // namespace qb::platform::x11
