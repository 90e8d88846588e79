#pragma once
#include <string>
#include <vector>

#include "platform/windows.h"
#include "platform/x11/x11_connection.h"

namespace qb::platform::x11 {

// Top-level windows through the window manager's EWMH properties: the foreground window is
// _NET_ACTIVE_WINDOW, the candidates for activation are _NET_CLIENT_LIST, and activation is a
// _NET_ACTIVE_WINDOW request as a pager sends it (source 2, a real server time stamp).
class X11Windows final : public Windows {
 public:
  explicit X11Windows(Connection& connection);
  ~X11Windows() override;
  X11Windows(const X11Windows&) = delete;
  X11Windows& operator=(const X11Windows&) = delete;

  std::string foregroundTitle() override;
  // Returns once the window manager has made the window active, or after a short bound.
  bool activate(std::string_view title) override;

  // The title of a window: _NET_WM_NAME (UTF-8), else WM_NAME converted to UTF-8.
  std::string titleOf(XId window);
  XId activeWindow();
  std::vector<XId> clientList();

  // How long activate() waits for the window manager.
  static constexpr int kActivationWaitMs = 500;

 private:
  unsigned long serverTime();

  Connection& connection_;
  XId stampWindow_ = 0;
  unsigned long atomActive_ = 0, atomClients_ = 0, atomName_ = 0, atomUtf8_ = 0, atomStamp_ = 0;
};

}  // namespace qb::platform::x11
