#include "script/form4.h"

#include "common/file_io.h"
#include "common/text.h"
#include "script/macro_text.h"
#include "script/player.h"
#include "script/repeat_speed.h"

namespace qb {

namespace {
constexpr std::string_view kSelectMacro = "Please select a macro name from the list box ";
constexpr std::string_view kEnterNumber = "Please Enter a numeric value ";
constexpr std::string_view kSetRepeatAgain =
    "If there was a repeat option on the macro, it should be set again";
}  // namespace

Form4::Form4(platform::Desktop& desktop, Form4Host& host)
    : forms::Form("Form4", std::string(kProductTitle), desktop.loop),
      Text1(*this, "Text1", {120, 1560, 975, 285}),
      Option2(*this, "Option2", "Decrease Speed", "speed", {2400, 840, 1695, 255}),
      Option1(*this, "Option1", "Increase Speed", "speed", {2400, 600, 1695, 255}),
      Command2(*this, "Command2", "Cancel", {2400, 1200, 975, 375}),
      Command1(*this, "Command1", "OK", {1320, 1200, 975, 375}),
      Text2(*this, "Text2", {120, 600, 1935, 285}),
      Label1(*this, "Label1", "Repeat Number:", {120, 120, 4215, 375}),
      desktop_(desktop),
      host_(host) {
  setSize(4500, 2100);
  Text1.setVisible(false);
  Text2.setText("0");
  Option1.setValue(true);
  Text1.onChange = [this] { prepare(); };
  Command2.onClick = [this] { hide(); };
  Command1.onClick = [this] { ok(); };
  Command1.setDefault(true);
  Command2.setCancel(true);
}

void Form4::message(std::string_view text) {
  desktop_.dialogs.messageBox(text, kProductTitle, platform::MessageButtons::Ok);
}

std::string Form4::stamp() {
  // A new text every time, so the change handler always runs.
  return formatTimeOfDay(desktop_.clock.wallSeconds()) + " #" + std::to_string(++triggerCount_);
}

bool Form4::checkSelection() {
  if (!host_.lastSelectedMacro().empty()) return true;
  message(kSelectMacro);
  return false;
}

void Form4::openForRepeat() {
  if (!checkSelection()) return;
  Option1.setVisible(false);
  Option2.setVisible(false);
  Label1.setCaption(std::string(kRepeatPrompt));
  Text1.setText(stamp());
  if (!host_.lastSelectedMacro().empty()) showModal();
}

void Form4::openForSpeed() {
  if (!checkSelection()) return;
  Text2.setText("0");
  Option1.setVisible(true);
  Option2.setVisible(true);
  Label1.setCaption(std::string(kSpeedPrompt));
  Text1.setText(stamp());
  showModal();
  message(kSetRepeatAgain);
}

void Form4::prepare() {
  if (host_.lastSelectedMacro().empty()) {
    message(kSelectMacro);
    hide();
    return;
  }
  if (!repeatMode()) {
    Text2.setText("0");
    return;
  }
  // The dialog opens with the macro's current repeat count.
  const auto text = readWholeFile(host_.macroPath(host_.lastSelectedMacro()));
  std::string count = "0";
  if (text) {
    const std::string_view line0 = firstLine(*text);
    if (line0.substr(0, 5) == "loop:") count = std::string(line0.substr(5));
  }
  Text2.setText(count);
}

void Form4::ok() {
  const auto number = parseNumeric(Text2.text());
  if (!number) return message(kEnterNumber);
  const std::string name = host_.lastSelectedMacro();
  if (name.empty()) return message(kSelectMacro);
  const std::string file = host_.macroPath(name);
  Result<> result;
  if (repeatMode()) {
    const std::string count = Text2.text();
    result = rewriteMacroFile(file, [&](std::string_view t) { return withRepeatHeader(t, count); });
  } else {
    const double factor = speedFactor(*number, Option2.value());
    result =
        rewriteMacroFile(file, [&](std::string_view t) { return withScaledTimeStamps(t, factor); });
  }
  // A file that cannot be read or written is said, and the dialog stays open; the macro is
  // untouched, as the rewrite goes through a temporary file.
  if (!result) return message("The macro could not be changed: " + result.message());
  host_.clearMacroText();
  hide();
}

}  // namespace qb
