// The command editors' "OK" actions that check their fields, and the mouse position sampler.

#include <string>

#include "builder/builder_host.h"
#include "builder/command_lines.h"
#include "builder/form_macro_builder.h"

namespace qb {

void FormMacroBuilder::addLine(std::string_view line) {
  MacroText.setText(withLineAdded(MacroText.text(), line));
}

void FormMacroBuilder::addLoopHeader() {
  auto text = withLoopHeader(MacroText.text(), loop.Infinite.value() == 1, loop.Count.text());
  if (!text) {
    // A refused count leaves the macro text, and any header it has, as it was.
    say("There should be a numeric value entered");
    loop.Count.setText("0");
    return;
  }
  MacroText.setText(std::move(*text));
}

void FormMacroBuilder::addMouseLines() {
  // The first selected option in this order decides; "No Click" and none add no click line.
  const std::pair<const forms::OptionButton*, ClickChoice> options[] = {
      {&mouse.LeftClick, ClickChoice::LeftClick},   {&mouse.LeftDown, ClickChoice::LeftDown},
      {&mouse.RightClick, ClickChoice::RightClick}, {&mouse.RightDown, ClickChoice::RightDown},
      {&mouse.LeftUp, ClickChoice::LeftUp},         {&mouse.RightUp, ClickChoice::RightUp}};
  ClickChoice click = ClickChoice::None;
  for (const auto& [option, choice] : options)
    if (option->value()) {
      click = choice;
      break;
    }
  addLine(mouseLines(mouse.X.text(), mouse.Y.text(), click));
}

void FormMacroBuilder::addLimitLine() {
  if (limit.Match.text().empty()) return say("Could you please select a match option");
  addLine(limitLine(limit.QuitIfInactive.value(), limit.Match.text(), limit.WindowName.text()));
}

void FormMacroBuilder::toggleMouseSampler() {
  const bool start = !MouseTimer.running();
  MouseTimer.setRunning(start);
  mouse.GetPosition.setCaption(start ? "Stop" : "Get Mouse Position");
}

void FormMacroBuilder::sampleMousePosition() {
  // The position text is "X, Y": its pieces go into the boxes as they are, blank included.
  const std::string position = host_.cursorPositionText();
  const auto comma = position.find(',');
  mouse.X.setText(position.substr(0, comma));
  if (comma == std::string::npos) return mouse.Y.setText("");
  const auto next = position.find(',', comma + 1);
  mouse.Y.setText(position.substr(comma + 1, next == std::string::npos ? next : next - comma - 1));
}

}  // namespace qb
