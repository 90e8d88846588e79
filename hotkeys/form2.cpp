#include "hotkeys/form2.h"

#include <string>

#include "script/player.h"

namespace qb {

namespace {
constexpr int kRowTop = 1080, kRowStep = 375, kCheckLeft = 6240, kCheckStep = 480;

constexpr std::string_view kSamplesText =
    "The sample keys are now setup. \r\n"
    "F9 key can be used to run the Calculator. \r\n"
    "F10 key can be used send text to any windows application. \r\n"
    "F11 key can be used send text and key strokes any windows application, Open Notepad and "
    "hit F11 for a quick test (it has a loop=10: that makes it loop times\r\n"
    "F12 key can be used Send and IM on AOL to someone, Open an IM and enter a screen name. "
    "Then hit F12 ";
}  // namespace

Form2::Form2(platform::Desktop& desktop, Settings& settings)
    : forms::Form("Form2", "Hot Keys - Standard", desktop.loop),
      Frame1(*this, "Frame1", "1C", {kCheckLeft - 60, 720, 420, 300}),
      Frame2(*this, "Frame2", "2C", {kCheckLeft + kCheckStep - 60, 720, 420, 300}),
      Frame3(*this, "Frame3", "3C", {kCheckLeft + 2 * kCheckStep - 60, 720, 420, 300}),
      Frame4(*this, "Frame4", "4C", {kCheckLeft + 3 * kCheckStep - 60, 720, 420, 300}),
      Label2(*this, "Label2", "Check 1C if you would like to run a .exe file with the key",
             {120, 5640, 8000, 255}),
      Label3(*this, "Label3", "Check 2C if you would like to run a macro with the Key",
             {120, 5880, 8000, 255}),
      Label4(*this, "Label4", "Check 3C if you would like to send key strokes with the key",
             {120, 6120, 8000, 255}),
      Label5(*this, "Label5", "Check 4C if you would like to require the Ctrl with the Key to run",
             {120, 6360, 8000, 255}),
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
    RowLabel[i]->setFixedPitch(true);
    Text1[i] =
        std::make_unique<forms::TextBox>(*this, "Text1" + index, forms::Rect{720, top, 5295, 285});
    for (int c = 1; c <= 4; ++c)
      Check[static_cast<std::size_t>(c - 1)][i] = std::make_unique<forms::CheckBox>(
          *this, "Check" + std::to_string(c) + index, "",
          forms::Rect{kCheckLeft + (c - 1) * kCheckStep, top, 255, 255});
    Text1[i]->onChange = [this] { rowsChanged(); };
    Text1[i]->onDblClick = [this, n] { askClearText(n); };
    for (auto& column : Check) column[i]->onClick = [this] { rowsChanged(); };
  }
  Command1.onClick = [this] { storeRows(); };
  Command1.setDefault(true);
  Command3.onClick = [this] { fillSamples(); };
  Command4.onClick = [this] { clearRows(); };
}

void Form2::rowsChanged() {
  if (onRowsChanged) onRowsChanged();
}

void Form2::loadRows() {
  for (int n = 1; n <= kHotKeyRows; ++n) {
    desktop_.loop.yield();
    const std::string key = std::to_string(n);
    text(n).setText(settings_.get("Hotkeys", "text1-" + key));
    for (int c = 1; c <= 4; ++c)
      option(c, n).setValue(
          settings_.getCheckState("Hotkeys", "Check" + std::to_string(c) + "-" + key));
  }
}

void Form2::storeRows() {
  for (int n = 1; n <= kHotKeyRows; ++n) {
    desktop_.loop.yield();
    settings_.put("Hotkeys", "text1-" + std::to_string(n), text(n).text());
  }
  for (int c = 1; c <= 4; ++c) {
    // "check1-" is the key loadRows reads as "Check1-": the store ignores the case of keys.
    const std::string prefix = (c == 1 ? "check" : "Check") + std::to_string(c) + "-";
    for (int n = 1; n <= kHotKeyRows; ++n) {
      desktop_.loop.yield();
      settings_.put("Hotkeys", prefix + std::to_string(n), std::to_string(option(c, n).value()));
    }
  }
  hide();
  if (showMainWindow) showMainWindow();
}

void Form2::fillSamples() {
  desktop_.dialogs.messageBox(kSamplesText, kProductTitle, platform::MessageButtons::Ok);
  text(9).setText("calc.exe");
  option(1, 9).setValue(1);
  text(10).setText("Some sample text you can send to any windows applicaiton");
  text(11).setText(
      "loop=10:{ENTER}{ENTER}{TAB}Sample of Sending Text and {ENTER} Sending Keystrokes");
  option(3, 11).setValue(1);
  text(12).setText("Sample of Sending an AOL IM ^{ENTER}");
  option(3, 12).setValue(1);
}

void Form2::clearRows() {
  if (desktop_.dialogs.messageBox("Are You sure you want to Clear all the text boxes?", "",
                                  platform::MessageButtons::YesNo) != platform::MessageAnswer::Yes)
    return;
  for (int n = 1; n <= kHotKeyRows; ++n) {
    desktop_.loop.yield();
    text(n).setText("");
    for (int c = 1; c <= 4; ++c) option(c, n).setValue(0);
  }
}

void Form2::askClearText(int n) {
  forms::TextBox& field = text(n);
  if (field.text().empty()) return;
  const std::string question =
      field.text() + "\r\n\r\nWould you like to clear the contents of this hot key?";
  if (desktop_.dialogs.messageBox(question, "Contents of Hot Key",
                                  platform::MessageButtons::YesNo) == platform::MessageAnswer::Yes)
    field.setText("");
}

}  // namespace qb
