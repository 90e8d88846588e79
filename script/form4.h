#pragma once
// The repeat and speed dialog, and the main window's "Repeat it?" and "Speed?" actions around
// it. Both work on the macro file last selected in the macro list.

#include <string>
#include <string_view>

#include "forms/controls.h"
#include "forms/form.h"
#include "platform/desktop.h"

namespace qb {

inline constexpr std::string_view kRepeatPrompt = "Input number of times to repeat the macro:";
inline constexpr std::string_view kSpeedPrompt = "Input Percent to Modify speed of Macro by:";

// What the dialog needs of the running program: the macro it works on and where its file is,
// and emptying the main window's macro text once the file changed under it.
class Form4Host {
 public:
  virtual ~Form4Host() = default;
  // The macro entry last selected in the macro list; empty when none.
  virtual std::string lastSelectedMacro() = 0;
  virtual std::string macroPath(std::string_view entry) = 0;
  virtual void clearMacroText() = 0;
};

class Form4 : public forms::Form {
 public:
  Form4(platform::Desktop& desktop, Form4Host& host);

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
  Form4Host& host_;
  unsigned long triggerCount_ = 0;
};

}  // namespace qb
