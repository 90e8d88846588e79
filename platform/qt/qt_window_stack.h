#pragma once
#include <QPointer>
#include <QWidget>
#include <map>
#include <string>

#include "platform/shell.h"

namespace qb::platform::x11 {

// The program's windows by form name, filled by the views as they create them; "topmost" is
// Qt's stays-on-top hint.
class QtWindowStack final : public WindowStack {
 public:
  void registerWindow(const std::string& form, QWidget* window) { windows_[form] = window; }
  bool setTopmost(std::string_view form, bool on) override;
  bool minimize(std::string_view form) override;

 private:
  std::map<std::string, QPointer<QWidget>, std::less<>> windows_;
};

}  // namespace qb::platform::x11
