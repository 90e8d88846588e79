#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "forms/control.h"
#include "platform/event_loop.h"

namespace qb::forms {

// A window: its controls by name, caption, size in twips, and whether it is shown, enabled
// and modal.
class Form {
 public:
  Form(std::string name, std::string caption, platform::EventLoop& loop);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  virtual ~Form() = default;

  const std::string& name() const { return name_; }
  const std::string& caption() const { return caption_; }
  void setCaption(std::string caption);
  int width() const { return width_; }
  int height() const { return height_; }
  // The size is the whole window's, borders, caption and menu bar included, as the classic
  // windows were designed; a window designed by its client area says so.
  void setSize(int width, int height);
  bool sizeIsClientArea() const { return sizeIsClientArea_; }
  void setSizeIsClientArea(bool on) { sizeIsClientArea_ = on; }
  bool visible() const { return visible_; }
  void show();
  void hide();
  // Shows the window and turns the event loop until it is hidden again.
  void showModal();
  bool enabled() const { return enabled_; }
  void setEnabled(bool on);
  // The user closes the window with its close box.
  void close() {
    if (onClose)
      onClose();
    else
      hide();
  }
  std::function<void()> onClose;
  // Enter and Escape: press the default (cancel) button the user can see and use. False when
  // there is none, so the key does what it does elsewhere.
  bool pressDefault();
  bool pressCancel();
  // Whether a control shows on its window: it and every frame it sits in visible.
  static bool shown(const Control& control);

  Control* find(std::string_view name) const;
  const std::vector<Control*>& controls() const { return order_; }
  void setView(FormView* view) { view_ = view; }
  FormView* view() const { return view_; }
  platform::EventLoop& loop() { return loop_; }

  // Called by controls.
  void adopt(Control& control);
  void controlChanged(Control& control, Property property);
  // Clears the other option buttons of `group`.
  void optionChosen(const std::string& group, Control& chosen);

 private:
  void formChanged(Property property);

  std::string name_;
  std::string caption_;
  platform::EventLoop& loop_;
  int width_ = 0, height_ = 0;
  bool visible_ = false;
  bool enabled_ = true;
  bool sizeIsClientArea_ = false;
  std::map<std::string, Control*, std::less<>> byName_;
  std::vector<Control*> order_;
  FormView* view_ = nullptr;
};

}  // namespace qb::forms
