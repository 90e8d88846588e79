#include "record/recording.h"

#include "app/program.h"
#include "common/file_io.h"
#include "common/text.h"
#include "record/stop_processing.h"
#include "script/player.h"

namespace qb {

void RecordingControl::Record() {
  Form1& form = program_.form1;
  form.Command1.setEnabled(false);
  form.Command2.setEnabled(false);
  form.Text1.setText("");
  form.Command5.setEnabled(true);
  form.Timer1.setRunning(true);
  program_.mouse.startClicks();
  form.Timer4.setRunning(true);
}

void RecordingControl::Stop() {
  Form1& form = program_.form1;
  form.Timer1.setRunning(false);
  form.Timer4.setRunning(false);
  form.Command5.setEnabled(false);
  form.Command1.setEnabled(true);
  form.Command2.setEnabled(true);
  form.setStopRequest(true);
  const std::size_t changesBefore = form.Text1.changeCount();
  // The processing yields, and a handler that runs meanwhile may replace the field's text: it
  // works on its own copy.
  const std::string recorded = form.Text1.text();
  std::string result = processRecording(recorded, [this] { program_.desktop.loop.yield(); });
  // A recording started while this one was being processed keeps its own text.
  if (form.Text1.changeCount() == changesBefore) form.Text1.setText(std::move(result));
}

void RecordingControl::SaveMacro() {
  Form1& form = program_.form1;
  auto& dialogs = program_.desktop.dialogs;
  const auto say = [&](std::string_view text) {
    dialogs.messageBox(text, kProductTitle, platform::MessageButtons::Ok);
  };
  const std::string_view macro = trimBlanks(form.Text1.text());
  if (macro.empty()) return say("Please Record a Macro ");
  if (trimBlanks(form.Text2.text()).empty()) return say("Please Enter a Macro Name");
  const std::string entry = "Macro-" + form.Text2.text() + ".txt";
  if (const std::string problem = macroNameProblem(entry); !problem.empty())
    return say("The macro cannot be saved as \"" + entry + "\": " + problem + ".");
  std::string content(macro);
  content += kCrLf;
  const FileResult written = writeFileAtomic(program_.library.path(entry), content);
  // A failed save keeps both fields and the list as they were, so nothing is lost.
  if (!written.ok) return say("The macro could not be saved: " + written.error);
  program_.library.appendEntry(entry);
  form.Text2.setText("");
  form.Text1.setText("");
}

}  // namespace qb
