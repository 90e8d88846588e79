#include "ui/qt/program_views.h"

namespace qb::ui {

ProgramViews::ProgramViews(Program& program, platform::x11::QtWindowStack& stack)
    : program_(program), stack_(stack) {
  program_.onWindowLoaded = [this](forms::Form& form) { add(form); };
  program_.onWindowUnloading = [this](forms::Form& form) { remove(form); };
  add(program_.form1);
  add(program_.form2);
  add(program_.form4);
  if (program_.builderLoaded()) add(program_.builder());
}

ProgramViews::~ProgramViews() {
  program_.onWindowLoaded = nullptr;
  program_.onWindowUnloading = nullptr;
  for (const auto& [form, view] : views_) stack_.registerWindow(form->name(), nullptr);
}

QtFormView* ProgramViews::view(const forms::Form& form) const {
  const auto found = views_.find(&form);
  return found == views_.end() ? nullptr : found->second.get();
}

void ProgramViews::add(forms::Form& form) {
  auto view = std::make_unique<QtFormView>(form);
  stack_.registerWindow(form.name(), view->window());
  views_[&form] = std::move(view);
}

void ProgramViews::remove(forms::Form& form) {
  stack_.registerWindow(form.name(), nullptr);
  views_.erase(&form);
}

}  // namespace qb::ui
