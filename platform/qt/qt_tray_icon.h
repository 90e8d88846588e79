#pragma once
#include <memory>

#include "platform/shell.h"

class QSystemTrayIcon;

namespace qb::platform::x11 {

// The notification-area icon as a QSystemTrayIcon: a left click (or double click) reports
// button state 1, the context-menu click 2.
class QtTrayIcon final : public TrayIcon {
 public:
  QtTrayIcon();
  ~QtTrayIcon() override;
  bool addIcon(std::string_view tip, std::function<void(int buttons)> onMouse) override;
  void removeIcon() override;
  bool iconVisible() const override;

 private:
  std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace qb::platform::x11
