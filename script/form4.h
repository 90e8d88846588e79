#pragma once
// The repeat and speed dialog, and the main window's "Repeat it?" and "Speed?" actions around
// it. Both work on the macro file last selected in the macro list.

#include <functional>
#include <string>

#include "forms/controls.h"
#include "forms/form.h"
#include "platform/desktop.h"

namespace qb {

inline constexpr std::string_view kRepeatPrompt = "Input number of times to repeat the macro:";
inline constexpr std::string_view kSpeedPrompt = "Input Percent to Modify speed of Macro by:";

// What the dialog needs from the main window.
struct Form4Host {
  std::function<std::string()> selectedName;  // the last-selected macro entry
  std::function<std::string(const std::string&)> pathOf;
  std::function<void()> clearMacroText;
};

class Form4 : public forms::Form {
 public:
  Form4(platform::Desktop& desktop, Form4Host host);

  void openForRepeat();  // "Repeat it?"
  void openForSpeed();   // "Speed?"
  bool repeatMode() const { return Label1.caption() == kRepeatPrompt; }

  forms::TextBox Text1;
  forms::OptionButton Option2;
  forms::OptionButton Option1;
  forms::Button Command2;
  forms::Button Command1;
  forms::TextBox Text2;
  forms::Label Label1;

 private:
  bool checkSelection();
  void prepare();
  void ok();
  void message(std::string_view text);
  std::string stamp();

  platform::Desktop& desktop_;
  Form4Host host_;
  unsigned long triggerCount_ = 0;
};

}  // namespace qb
