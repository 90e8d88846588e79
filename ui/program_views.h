#pragma once
// The views of every window of a recorder program: the windows it has from the start and the
// ones it loads later, each registered with the window stack so "Always On Top" finds it.
// `View` is a toolkit's generic form view (with window()); `Stack` its window stack (with
// registerWindow(name, window)).

#include <map>
#include <memory>

#include "app/program.h"

namespace qb::ui {

template <typename View, typename Stack>
class ProgramViewsOf {
 public:
  ProgramViewsOf(Program& program, Stack& stack) : program_(program), stack_(stack) {
    program_.onWindowLoaded = [this](forms::Form& form) { add(form); };
    program_.onWindowUnloading = [this](forms::Form& form) { remove(form); };
    add(program_.form1);
    add(program_.form2);
    add(program_.form4);
    if (program_.builderLoaded()) add(program_.builder());
  }
  ~ProgramViewsOf() {
    program_.onWindowLoaded = nullptr;
    program_.onWindowUnloading = nullptr;
    for (const auto& [form, view] : views_) stack_.registerWindow(form->name(), nullptr);
  }
  ProgramViewsOf(const ProgramViewsOf&) = delete;
  ProgramViewsOf& operator=(const ProgramViewsOf&) = delete;

  // The view of a loaded window, or null.
  View* view(const forms::Form& form) const {
    const auto found = views_.find(&form);
    return found == views_.end() ? nullptr : found->second.get();
  }

 private:
  void add(forms::Form& form) {
    auto view = std::make_unique<View>(form);
    stack_.registerWindow(form.name(), view->window());
    views_[&form] = std::move(view);
  }
  void remove(forms::Form& form) {
    stack_.registerWindow(form.name(), nullptr);
    views_.erase(&form);
  }

  Program& program_;
  Stack& stack_;
  std::map<const forms::Form*, std::unique_ptr<View>> views_;
};

}  // namespace qb::ui
