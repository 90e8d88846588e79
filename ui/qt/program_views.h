#pragma once
// Qt views for every window of a recorder program: the windows it has from the start and the
// ones it loads later, each registered with the window stack so "Always On Top" finds it.

#include <map>
#include <memory>

#include "app/program.h"
#include "platform/qt/qt_window_stack.h"
#include "ui/qt/qt_form_view.h"

namespace qb::ui {

class ProgramViews {
 public:
  ProgramViews(Program& program, platform::x11::QtWindowStack& stack);
  ~ProgramViews();
  ProgramViews(const ProgramViews&) = delete;
  ProgramViews& operator=(const ProgramViews&) = delete;

  // The view of a loaded window, or null.
  QtFormView* view(const forms::Form& form) const;

 private:
  void add(forms::Form& form);
  void remove(forms::Form& form);

  Program& program_;
  platform::x11::QtWindowStack& stack_;
  std::map<const forms::Form*, std::unique_ptr<QtFormView>> views_;
};

}  // namespace qb::ui
