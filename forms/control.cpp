#include "forms/control.h"

#include "forms/form.h"

namespace qb::forms {

Control::Control(Form& owner, std::string name, ControlKind kind, Rect layout)
    : owner_(owner), name_(std::move(name)), kind_(kind), layout_(layout) {
  owner_.adopt(*this);
}

void Control::notify(Property property) {
  owner_.controlChanged(*this, property);
}

void Control::setLayout(Rect r) {
  if (r == layout_) return;
  layout_ = r;
  notify(Property::Layout);
}

void Control::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  notify(Property::Enabled);
}

void Control::setVisible(bool on) {
  if (on == visible_) return;
  visible_ = on;
  notify(Property::Visible);
}

void Control::setFixedPitch(bool on) {
  if (on == fixedPitch_) return;
  fixedPitch_ = on;
  notify(Property::Style);
}

void Control::setTag(std::string tag) {
  if (tag == tag_) return;
  tag_ = std::move(tag);
  notify(Property::Tag);
}

}  // namespace qb::forms
