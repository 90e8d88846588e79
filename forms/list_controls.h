#pragma once
#include <functional>
#include <string>
#include <vector>

#include "forms/control.h"

namespace qb::forms {

// A list box; with multi-selection several entries can be selected at once.
class ListBox : public Control {
 public:
  ListBox(Form& owner, std::string name, Rect layout = {}, bool multiSelect = false);
  const std::vector<std::string>& items() const { return items_; }
  std::size_t count() const { return items_.size(); }
  void addItem(std::string item);
  void removeItem(std::size_t index);
  void clear();
  bool selected(std::size_t index) const { return index < selected_.size() && selected_[index]; }
  void setSelected(std::size_t index, bool on);
  // -1 when nothing is current.
  int listIndex() const { return listIndex_; }
  bool multiSelect() const { return multiSelect_; }
  // The user clicks entry `index`: it becomes current and selected (alone, without
  // multi-selection keys), then the click event runs.
  void clickItem(std::size_t index);
  void dblClickItem(std::size_t index);
  // The user moved the current entry or changed the selection another way (arrow keys,
  // type-ahead, Ctrl+click): the list takes `selection` (one entry without multi-selection:
  // the current one) and, when anything changed, runs the click event as a click does.
  void selectFromView(int current, std::vector<bool> selection);
  std::function<void()> onClick;
  std::function<void()> onDblClick;

 private:
  std::vector<std::string> items_;
  std::vector<bool> selected_;
  int listIndex_ = -1;
  bool multiSelect_;
};

// An editable drop-down: a text and a list of entries to choose it from.
class ComboBox : public Control {
 public:
  ComboBox(Form& owner, std::string name, Rect layout = {});
  const std::vector<std::string>& items() const { return items_; }
  void addItem(std::string item);
  void clear();
  const std::string& text() const { return text_; }
  void setText(std::string text);
  void chooseItem(std::size_t index) {
    if (index < items_.size()) setText(items_[index]);
  }
  std::function<void()> onChange;

 private:
  std::vector<std::string> items_;
  std::string text_;
};

}  // namespace qb::forms
