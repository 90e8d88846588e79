// The program as its subsystems' host: each answer reads or changes the window state the
// subsystem's step belongs to.

#include "app/program.h"
#include "common/text.h"
#include "hotkeys/fire_hot_key.h"
#include "script/runner.h"

namespace qb {

bool Program::isRecording() {
  return !form1.Command1.enabled();
}

bool Program::isPlaying() {
  return !form1.playingMark().empty();
}

void Program::requestStop() {
  form1.setStopRequest(true);
}

void Program::markBreak() {
  form1.setPlayingMarkText("Break");
}

void Program::pressTrigger(RecordTrigger which, std::string stamp) {
  forms::TextBox& field = which == RecordTrigger::Record ? form1.Text5
                          : which == RecordTrigger::Stop ? form1.Text8
                                                         : form1.Text9;
  field.setText(std::move(stamp));
}

std::optional<FunctionKeyPress> Program::aimFunctionKey(int row, bool ctrl) {
  std::optional<HotKeyAction> action = aimHotKey(form2, row, ctrl);
  if (!action) return std::nullopt;
  const bool plays = action->play;
  return FunctionKeyPress{[this, action = std::move(*action)] { runHotKey(*this, action); }, plays};
}

bool Program::functionKeySet(int row) {
  return !trimBlanks(form2.text(row).text()).empty();
}

bool Program::functionKeyNeedsCtrl(int row) {
  return form2.option(4, row).value() == 1;
}

std::string_view Program::recordedText() {
  return form1.Text1.text();
}

void Program::appendRecorded(std::string_view lines) {
  form1.Text1.append(lines);
}

void Program::setRecordedText(std::string text) {
  form1.Text1.setText(std::move(text));
}

std::size_t Program::recordedTextChanges() {
  return form1.Text1.changeCount();
}

void Program::showRecordedEnd() {
  form1.Text1.setSelectionStart(form1.Text1.text().size());
}

bool Program::recordsDrags() {
  return form1.Check1.value() == 1;
}

WMouse& Program::cursor() {
  return module.mouse();
}

void Program::recordingStarting() {
  form1.Command1.setEnabled(false);
  form1.Command2.setEnabled(false);
  form1.Text1.setText("");
  form1.Command5.setEnabled(true);
}

void Program::recordingStopping() {
  form1.Command5.setEnabled(false);
  form1.Command1.setEnabled(true);
  form1.Command2.setEnabled(true);
}

void Program::runMoveSampler(bool on) {
  form1.Timer1.setRunning(on);
}

void Program::runClickSampler(bool on) {
  form1.Timer4.setRunning(on);
}

std::string Program::macroName() {
  return form1.Text2.text();
}

std::string Program::macroPath(std::string_view entry) {
  return library.path(entry);
}

void Program::macroSaved(std::string entry) {
  library.appendEntry(std::move(entry));
  form1.Text2.setText("");
}

Form2& Program::hotKeyRows() {
  return form2;
}

ModuleData& Program::hotKeyPlayer() {
  return module;
}

std::string Program::macroFolder() {
  return library.folder();
}

void Program::playMacroText(Result<std::string> text) {
  if (text) form1.Text1.setText(std::move(*text));
  form1.trigger(form1.Text9);
}

std::string Program::cursorPositionText() {
  return mouse.MousePosText();
}

std::string Program::storedMacroLocation() {
  return settings.get("Options", "Location");
}

void Program::setMacroFolder(std::string folder) {
  library.setFolder(std::move(folder));
}

void Program::refreshMacroList() {
  forms::TextBox& field = form1.Textload;
  const std::size_t before = field.changeCount();
  form1.trigger(field);
  // The trigger's stamp is the time to the second: a second request within the same second
  // writes the same text and fires nothing, so the list is refilled directly then.
  if (field.changeCount() == before) library.ListMacro();
}

void Program::runAdvancedMacro(std::string text) {
  form1.setStopRequest(false);
  form1.Text1.setText(std::move(text));
  RunAdvanced(module, form1);
}

void Program::showMainWindow() {
  form1.show();
}

bool Program::holdsBuilder(const FormMacroBuilder& form) {
  return builderLoaded() && &builder() == &form;
}

std::string Program::lastSelectedMacro() {
  return library.lastSelected();
}

void Program::clearMacroText() {
  form1.Text1.setText("");
}

}  // namespace qb
