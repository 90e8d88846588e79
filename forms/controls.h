#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "forms/control.h"

namespace qb::forms {

class TextBox : public Control {
 public:
  TextBox(Form& owner, std::string name, Rect layout = {}, bool multiLine = false);
  const std::string& text() const { return *text_; }
  // The text as it is now, shared without a copy: a later change of the box copies it first if
  // it is still shared, so what was handed out never changes (a play reads a long macro so).
  std::shared_ptr<const std::string> sharedText() const { return text_; }
  // A new text fires the change event at once, inside this call; the same text fires nothing.
  void setText(std::string text);
  std::size_t selectionStart() const { return selectionStart_; }
  void setSelectionStart(std::size_t at);
  bool multiLine() const { return multiLine_; }
  bool readOnly() const { return readOnly_; }
  void setReadOnly(bool on) { readOnly_ = on; }
  // Text appended to the end fires the change event like any other new text.
  void append(std::string_view more);
  // How many times the text has changed: a cheap way to see whether it changed meanwhile.
  std::size_t changeCount() const { return changes_; }
  // Where the last change began when it only appended text, so a view can add just the new
  // part; npos after any other change.
  std::size_t lastAppendOffset() const { return lastAppendOffset_; }
  // Replaces `count` bytes from `from` (both cut to the text) with `with`; a change fires the
  // change event as a new text does. The way a view passes on what the user typed, so a
  // keystroke in a big text never copies it whole.
  void replace(std::size_t from, std::size_t count, std::string_view with);
  // The last change as one replaced range of bytes, so a view can update just that part:
  // empty after a new text as a whole.
  struct Edit {
    std::size_t from = 0, removed = 0, inserted = 0;
    bool operator==(const Edit&) const = default;
  };
  const std::optional<Edit>& lastEdit() const { return lastEdit_; }

  std::function<void()> onChange;
  std::function<void()> onDblClick;

 private:
  std::string& ownText();

  std::shared_ptr<std::string> text_ = std::make_shared<std::string>();
  std::size_t changes_ = 0;
  std::size_t lastAppendOffset_ = std::string::npos;
  std::optional<Edit> lastEdit_;
  std::size_t selectionStart_ = 0;
  bool multiLine_;
  bool readOnly_ = false;
};

class Button : public Control {
 public:
  Button(Form& owner, std::string name, std::string caption, Rect layout = {});
  const std::string& caption() const { return caption_; }
  void setCaption(std::string caption);
  // A click on a disabled button does nothing.
  void click();
  // Enter presses the window's default button and Escape its cancel button, wherever the
  // focus is; a window whose panels take turns marks each panel's buttons, and the one shown
  // answers.
  bool isDefault() const { return default_; }
  void setDefault(bool on) { default_ = on; }
  bool isCancel() const { return cancel_; }
  void setCancel(bool on) { cancel_ = on; }
  std::function<void()> onClick;

 private:
  std::string caption_;
  bool default_ = false;
  bool cancel_ = false;
};

class CheckBox : public Control {
 public:
  CheckBox(Form& owner, std::string name, std::string caption, Rect layout = {});
  const std::string& caption() const { return caption_; }
  int value() const { return value_; }
  // A new value fires the click event, as the user's click does.
  void setValue(int value);
  void click();
  std::function<void()> onClick;

 private:
  std::string caption_;
  int value_ = 0;
};

// Option buttons with the same group form one choice: setting one clears the others.
class OptionButton : public Control {
 public:
  OptionButton(Form& owner, std::string name, std::string caption, std::string group,
               Rect layout = {});
  const std::string& caption() const { return caption_; }
  const std::string& group() const { return group_; }
  bool value() const { return value_; }
  void setValue(bool on);
  void click() {
    if (enabled() && visible()) setValue(true);
  }
  std::function<void()> onClick;

 private:
  std::string caption_;
  std::string group_;
  bool value_ = false;
};

class Label : public Control {
 public:
  Label(Form& owner, std::string name, std::string caption, Rect layout = {});
  const std::string& caption() const { return caption_; }
  void setCaption(std::string caption);
  bool underline() const { return underline_; }
  void setUnderline(bool on);
  void click() {
    if (onClick) onClick();
  }
  std::function<void()> onClick;
  std::function<void()> onMouseMove;

 private:
  std::string caption_;
  bool underline_ = false;
};

class Frame : public Control {
 public:
  Frame(Form& owner, std::string name, std::string caption, Rect layout = {});
  const std::string& caption() const { return caption_; }

 private:
  std::string caption_;
};

class MenuItem : public Control {
 public:
  // `menu` is the caption of the top-level menu it belongs to; an empty caption is a separator.
  MenuItem(Form& owner, std::string name, std::string menu, std::string caption);
  const std::string& menu() const { return menu_; }
  const std::string& caption() const { return caption_; }
  void click() {
    if (enabled() && onClick) onClick();
  }
  std::function<void()> onClick;

 private:
  std::string menu_;
  std::string caption_;
};

}  // namespace qb::forms
