#pragma once
// The control model the windows are made of. A view (a toolkit, or none in tests) observes a
// form's controls and turns user actions into calls on them.

#include <functional>
#include <string>
#include <string_view>

namespace qb::forms {

// Position and size in twips (1/1440 inch).
struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

enum class ControlKind {
  TextBox,
  Button,
  CheckBox,
  OptionButton,
  ListBox,
  ComboBox,
  Label,
  Frame,
  Timer,
  MenuItem
};

enum class Property {
  Text,
  Caption,
  Enabled,
  Visible,
  Value,
  Items,
  Selection,
  Layout,
  Tag,
  Style
};

class Form;
class Control;

// What a view implements to follow a form's state.
class FormView {
 public:
  virtual ~FormView() = default;
  virtual void controlChanged(Control& control, Property property) = 0;
  virtual void formChanged(Form& form, Property property) = 0;
};

class Control {
 public:
  Control(Form& owner, std::string name, ControlKind kind, Rect layout = {});
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  const std::string& name() const { return name_; }
  ControlKind kind() const { return kind_; }
  Form& form() { return owner_; }
  // The frame a control sits in; its layout is then relative to that frame.
  Control* container() const { return container_; }
  void setContainer(Control* frame) { container_ = frame; }

  const Rect& layout() const { return layout_; }
  void setLayout(Rect r);
  bool enabled() const { return enabled_; }
  void setEnabled(bool on);
  bool visible() const { return visible_; }
  void setVisible(bool on);
  const std::string& tag() const { return tag_; }
  void setTag(std::string tag);
  // Text laid out in columns of blanks needs a font whose characters are all equally wide.
  bool fixedPitch() const { return fixedPitch_; }
  void setFixedPitch(bool on);

 protected:
  void notify(Property property);

 private:
  Form& owner_;
  std::string name_;
  ControlKind kind_;
  Rect layout_;
  Control* container_ = nullptr;
  bool enabled_ = true;
  bool visible_ = true;
  bool fixedPitch_ = false;
  std::string tag_;
};

}  // namespace qb::forms
