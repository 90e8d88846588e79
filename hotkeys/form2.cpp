#include "hotkeys/form2.h"

#include <string>

namespace qb {

namespace {
constexpr int kRowTop = 1080, kRowStep = 375, kCheckLeft = 6240, kCheckStep = 480;
}

Form2::Form2(platform::Desktop& desktop, Settings& settings)
    : forms::Form("Form2", "Hot Keys - Standard", desktop.loop),
      Frame1(*this, "Frame1", "1C", {kCheckLeft - 60, 720, 420, 300}),
      Frame2(*this, "Frame2", "2C", {kCheckLeft + kCheckStep - 60, 720, 420, 300}),
      Frame3(*this, "Frame3", "3C", {kCheckLeft + 2 * kCheckStep - 60, 720, 420, 300}),
      Frame4(*this, "Frame4", "4C", {kCheckLeft + 3 * kCheckStep - 60, 720, 420, 300}),
      Label2(*this, "Label2", "Check 1C if you would like to run a .exe file with the key", {120, 5640, 8000, 255}),
      Label3(*this, "Label3", "Check 2C if you would like to run a macro with the Key", {120, 5880, 8000, 255}),
      Label4(*this, "Label4", "Check 3C if you would like to send key strokes with the key", {120, 6120, 8000, 255}),
      Label5(*this, "Label5", "Check 4C if you would like to require the Ctrl with the Key to run", {120, 6360, 8000, 255}),
      Label10(*this, "Label10", "Note: Double Click Text Box to Clear", {120, 360, 5000, 255}),
      Command1(*this, "Command1", "&OK", {120, 6720, 1215, 375}),
      Command3(*this, "Command3", "&Samples", {1440, 6720, 1215, 375}),
      Command4(*this, "Command4", "&Clear", {2760, 6720, 1215, 375}),
      Command2(*this, "Command2", "&Help", {4080, 6720, 1215, 375}),
      desktop_(desktop),
      settings_(settings) {
  setSize(8400, 7600);
  for (int n = 1; n <= kHotKeyRows; ++n) {
    const auto i = static_cast<std::size_t>(n - 1);
    const int top = kRowTop + (n - 1) * kRowStep;
    const std::string index = "(" + std::to_string(n) + ")";
    RowLabel[i] = std::make_unique<forms::Label>(*this, "Label1" + index, "F" + std::to_string(n),
                                                 forms::Rect{120, top, 495, 285});
    Text1[i] = std::make_unique<forms::TextBox>(*this, "Text1" + index, forms::Rect{720, top, 5295, 285});
    for (int c = 1; c <= 4; ++c)
      Check[static_cast<std::size_t>(c - 1)][i] = std::make_unique<forms::CheckBox>(
          *this, "Check" + std::to_string(c) + index, "",
          forms::Rect{kCheckLeft + (c - 1) * kCheckStep, top, 255, 255});
  }
}

void Form2::loadRows() {
  for (int n = 1; n <= kHotKeyRows; ++n) {
    desktop_.loop.yield();
    const std::string key = std::to_string(n);
    text(n).setText(settings_.get("Hotkeys", "text1-" + key));
    for (int c = 1; c <= 4; ++c)
      option(c, n).setValue(settings_.getInt16("Hotkeys", "Check" + std::to_string(c) + "-" + key, 0));
  }
}

}  // namespace qb
