#include "record/recording.h"

#include "common/file_io.h"
#include "common/text.h"
#include "record/stop_processing.h"
#include "script/player.h"

namespace qb {

void RecordingControl::Record() {
  host_.recordingStarting();
  host_.runMoveSampler(true);
  mouse_.startClicks();
  host_.runClickSampler(true);
}

void RecordingControl::Stop() {
  host_.runMoveSampler(false);
  host_.runClickSampler(false);
  host_.recordingStopping();
  host_.requestStop();
  const std::size_t changesBefore = host_.recordedTextChanges();
  // The processing yields, and a handler that runs meanwhile may replace the field's text: it
  // works on its own copy.
  const std::string recorded(host_.recordedText());
  std::string result = processRecording(recorded, [this] { desktop_.loop.yield(); });
  // A recording started while this one was being processed keeps its own text.
  if (host_.recordedTextChanges() == changesBefore) host_.setRecordedText(std::move(result));
}

void RecordingControl::SaveMacro() {
  auto& dialogs = desktop_.dialogs;
  const auto say = [&](std::string_view text) {
    dialogs.messageBox(text, kProductTitle, platform::MessageButtons::Ok);
  };
  const std::string_view macro = trimBlanks(host_.recordedText());
  if (macro.empty()) return say("Please Record a Macro ");
  const std::string name = host_.macroName();
  if (trimBlanks(name).empty()) return say("Please Enter a Macro Name");
  const std::string entry = "Macro-" + name + ".txt";
  if (const auto nameable = checkMacroFileName(entry); !nameable)
    return say("The macro cannot be saved as \"" + entry + "\": " + nameable.message() + ".");
  std::string content(macro);
  content += kCrLf;
  const auto written = writeFileAtomic(host_.macroPath(entry), content);
  // A failed save keeps both fields and the list as they were, so nothing is lost.
  if (!written) return say("The macro could not be saved: " + written.message());
  host_.macroSaved(entry);
  host_.setRecordedText("");
}

}  // namespace qb
