#include "forms/controls.h"

#include <algorithm>

#include "forms/form.h"

namespace qb::forms {

TextBox::TextBox(Form& owner, std::string name, Rect layout, bool multiLine)
    : Control(owner, std::move(name), ControlKind::TextBox, layout), multiLine_(multiLine) {}

std::string& TextBox::ownText() {
  if (text_.use_count() > 1) text_ = std::make_shared<std::string>(*text_);
  return *text_;
}

void TextBox::setText(std::string text) {
  if (text == *text_) return;
  text_ = std::make_shared<std::string>(std::move(text));
  ++changes_;
  lastAppendOffset_ = std::string::npos;
  lastEdit_.reset();
  if (selectionStart_ > text_->size()) selectionStart_ = text_->size();
  notify(Property::Text);
  if (onChange) onChange();
}

void TextBox::append(std::string_view more) {
  if (more.empty()) return;
  std::string& text = ownText();
  lastAppendOffset_ = text.size();
  lastEdit_ = Edit{text.size(), 0, more.size()};
  text += more;
  ++changes_;
  notify(Property::Text);
  if (onChange) onChange();
}

void TextBox::replace(std::size_t from, std::size_t count, std::string_view with) {
  from = std::min(from, text_->size());
  count = std::min(count, text_->size() - from);
  if (std::string_view(*text_).substr(from, count) == with) return;
  std::string& text = ownText();
  text.replace(from, count, with);
  ++changes_;
  lastAppendOffset_ = count == 0 && from + with.size() == text.size() ? from : std::string::npos;
  lastEdit_ = Edit{from, count, with.size()};
  if (selectionStart_ > text.size()) selectionStart_ = text.size();
  notify(Property::Text);
  if (onChange) onChange();
}

void TextBox::setSelectionStart(std::size_t at) {
  at = std::min(at, text_->size());
  if (at == selectionStart_) return;
  selectionStart_ = at;
  notify(Property::Selection);
}

Button::Button(Form& owner, std::string name, std::string caption, Rect layout)
    : Control(owner, std::move(name), ControlKind::Button, layout), caption_(std::move(caption)) {}

void Button::setCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  notify(Property::Caption);
}

void Button::click() {
  if (enabled() && onClick) onClick();
}

CheckBox::CheckBox(Form& owner, std::string name, std::string caption, Rect layout)
    : Control(owner, std::move(name), ControlKind::CheckBox, layout),
      caption_(std::move(caption)) {}

void CheckBox::setValue(int value) {
  if (value == value_) return;
  value_ = value;
  notify(Property::Value);
  if (onClick) onClick();
}

void CheckBox::click() {
  if (enabled()) setValue(value_ == 1 ? 0 : 1);
}

OptionButton::OptionButton(Form& owner, std::string name, std::string caption, std::string group,
                           Rect layout)
    : Control(owner, std::move(name), ControlKind::OptionButton, layout),
      caption_(std::move(caption)),
      group_(std::move(group)) {}

void OptionButton::setValue(bool on) {
  if (on == value_) {
    if (on && onClick) onClick();
    return;
  }
  value_ = on;
  notify(Property::Value);
  if (on) {
    form().optionChosen(group_, *this);
    if (onClick) onClick();
  }
}

Label::Label(Form& owner, std::string name, std::string caption, Rect layout)
    : Control(owner, std::move(name), ControlKind::Label, layout), caption_(std::move(caption)) {}

void Label::setCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  notify(Property::Caption);
}

void Label::setUnderline(bool on) {
  if (on == underline_) return;
  underline_ = on;
  notify(Property::Style);
}

Frame::Frame(Form& owner, std::string name, std::string caption, Rect layout)
    : Control(owner, std::move(name), ControlKind::Frame, layout), caption_(std::move(caption)) {}

MenuItem::MenuItem(Form& owner, std::string name, std::string menu, std::string caption)
    : Control(owner, std::move(name), ControlKind::MenuItem),
      menu_(std::move(menu)),
      caption_(std::move(caption)) {}

}  // namespace qb::forms
