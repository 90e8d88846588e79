#include "forms/list_controls.h"

namespace qb::forms {

ListBox::ListBox(Form& owner, std::string name, Rect layout, bool multiSelect)
    : Control(owner, std::move(name), ControlKind::ListBox, layout), multiSelect_(multiSelect) {}

void ListBox::addItem(std::string item) {
  items_.push_back(std::move(item));
  selected_.push_back(false);
  notify(Property::Items);
}

void ListBox::removeItem(std::size_t index) {
  if (index >= items_.size()) return;
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
  selected_.erase(selected_.begin() + static_cast<std::ptrdiff_t>(index));
  if (listIndex_ == static_cast<int>(index))
    listIndex_ = -1;
  else if (listIndex_ > static_cast<int>(index))
    --listIndex_;
  notify(Property::Items);
}

void ListBox::clear() {
  if (items_.empty()) return;
  items_.clear();
  selected_.clear();
  listIndex_ = -1;
  notify(Property::Items);
}

void ListBox::setSelected(std::size_t index, bool on) {
  if (index >= items_.size() || selected_[index] == on) return;
  selected_[index] = on;
  notify(Property::Selection);
}

void ListBox::clickItem(std::size_t index) {
  if (index >= items_.size() || !enabled()) return;
  for (std::size_t i = 0; i < selected_.size(); ++i) selected_[i] = i == index;
  listIndex_ = static_cast<int>(index);
  notify(Property::Selection);
  if (onClick) onClick();
}

void ListBox::selectFromView(int current, std::vector<bool> selection) {
  if (!enabled()) return;
  if (current < -1 || current >= static_cast<int>(items_.size())) current = -1;
  selection.resize(items_.size(), false);
  if (!multiSelect_)
    for (std::size_t i = 0; i < selection.size(); ++i)
      selection[i] = static_cast<int>(i) == current;
  if (current == listIndex_ && selection == selected_) return;
  selected_ = std::move(selection);
  listIndex_ = current;
  notify(Property::Selection);
  if (current >= 0 && onClick) onClick();
}

void ListBox::dblClickItem(std::size_t index) {
  clickItem(index);
  if (index < items_.size() && enabled() && onDblClick) onDblClick();
}

ComboBox::ComboBox(Form& owner, std::string name, Rect layout)
    : Control(owner, std::move(name), ControlKind::ComboBox, layout) {}

void ComboBox::addItem(std::string item) {
  items_.push_back(std::move(item));
  notify(Property::Items);
}

void ComboBox::clear() {
  items_.clear();
  notify(Property::Items);
}

void ComboBox::setText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  notify(Property::Text);
  if (onChange) onChange();
}

}  // namespace qb::forms
