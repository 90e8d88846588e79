#include "forms/form.h"

#include "forms/controls.h"

namespace qb::forms {

Form::Form(std::string name, std::string caption, platform::EventLoop& loop)
    : name_(std::move(name)), caption_(std::move(caption)), loop_(loop) {}

void Form::setCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  formChanged(Property::Caption);
}

void Form::setSize(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  formChanged(Property::Layout);
}

void Form::show() {
  if (visible_) return;
  visible_ = true;
  formChanged(Property::Visible);
}

void Form::hide() {
  if (!visible_) return;
  visible_ = false;
  formChanged(Property::Visible);
}

void Form::showModal() {
  show();
  loop_.runModal([this] { return visible_; });
}

void Form::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  formChanged(Property::Enabled);
}

Control* Form::find(std::string_view name) const {
  const auto it = byName_.find(name);
  return it == byName_.end() ? nullptr : it->second;
}

void Form::adopt(Control& control) {
  byName_[control.name()] = &control;
  order_.push_back(&control);
}

void Form::controlChanged(Control& control, Property property) {
  if (view_) view_->controlChanged(control, property);
}

void Form::formChanged(Property property) {
  if (view_) view_->formChanged(*this, property);
}

void Form::optionChosen(const std::string& group, Control& chosen) {
  for (Control* c : order_)
    if (c != &chosen && c->kind() == ControlKind::OptionButton) {
      auto* option = static_cast<OptionButton*>(c);
      if (option->group() == group) option->setValue(false);
    }
}

}  // namespace qb::forms

namespace qb::forms {
namespace {

// The first button marked by `marked` that is shown and enabled, pressed.
bool pressMarked(const std::vector<Control*>& controls, bool (Button::*marked)() const) {
  for (Control* c : controls) {
    if (c->kind() != ControlKind::Button) continue;
    auto* button = static_cast<Button*>(c);
    if (!(button->*marked)() || !button->enabled() || !Form::shown(*button)) continue;
    button->click();
    return true;
  }
  return false;
}

}  // namespace

bool Form::shown(const Control& control) {
  for (const Control* c = &control; c; c = c->container())
    if (!c->visible()) return false;
  return true;
}

bool Form::pressDefault() {
  return enabled_ && pressMarked(order_, &Button::isDefault);
}

bool Form::pressCancel() {
  return enabled_ && pressMarked(order_, &Button::isCancel);
}

}  // namespace qb::forms
