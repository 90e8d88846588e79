#include "platform/qt/qt_window_stack.h"

namespace qb::platform::x11 {

bool QtWindowStack::setTopmost(std::string_view form, bool on) {
  const auto it = windows_.find(form);
  if (it == windows_.end() || !it->second) return false;
  QWidget* window = it->second;
  if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return true;
  const bool visible = window->isVisible();
  window->setWindowFlag(Qt::WindowStaysOnTopHint, on);  // hides the window
  if (visible) window->show();
  return true;
}

bool QtWindowStack::minimize(std::string_view form) {
  const auto it = windows_.find(form);
  if (it == windows_.end() || !it->second) return false;
  it->second->showMinimized();
  return true;
}

}  // namespace qb::platform::x11
