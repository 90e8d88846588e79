#pragma once
// What the keyboard hook, the mouse samplers and Record / Stop / Save Macro need of the running
// program: the state of a recording or a play, the recorded text, the shortcuts' trigger
// fields and the function keys. The program's main window implements it; this folder knows no
// window and no other subsystem.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qb {

class WMouse;

// The shortcuts Left Ctrl+R, Left Ctrl+T and Left Ctrl+P (or Y).
enum class RecordTrigger { Record, Stop, Play };

// A function key that a hot key row takes: its passes, and whether they start a play.
struct FunctionKeyPress {
  std::function<void()> run;
  bool plays = false;
};

// F1 to F12.
inline constexpr int kFunctionKeys = 12;

class RecordHost {
 public:
  virtual ~RecordHost() = default;

  // A recording runs (Record has been pressed and Stop not yet).
  virtual bool isRecording() = 0;
  // A play runs: the playing mark is set.
  virtual bool isPlaying() = 0;
  // Asks a running play to stop.
  virtual void requestStop() = 0;
  // Ctrl+` marks the play as broken before it starts.
  virtual void markBreak() = 0;

  // The shortcuts write the time they were pressed into their trigger field, which starts
  // Record, Stop or Play.
  virtual std::string triggerStamp() = 0;
  virtual void pressTrigger(RecordTrigger which, std::string stamp) = 0;

  // Function key `row` (1 to 12) pressed with the left Ctrl key held or not: what its hot key
  // row does, or empty when the row does not take the key.
  virtual std::optional<FunctionKeyPress> aimFunctionKey(int row, bool ctrl) = 0;
  // Whether row `row` has a hot key at all, and whether it needs the left Ctrl key.
  virtual bool functionKeySet(int row) = 0;
  virtual bool functionKeyNeedsCtrl(int row) = 0;

  // The recorded macro text.
  virtual std::string_view recordedText() = 0;
  virtual void appendRecorded(std::string_view lines) = 0;
  virtual void setRecordedText(std::string text) = 0;
  // Counts every change of the recorded text, so a caller sees whether it changed meanwhile.
  virtual std::size_t recordedTextChanges() = 0;
  // Keeps the end of the recorded text in view.
  virtual void showRecordedEnd() = 0;
  // Drag steps are recorded too ("t:" lines while the left button is down).
  virtual bool recordsDrags() = 0;
  // Where the cursor is, as the player sees it.
  virtual WMouse& cursor() = 0;

  // The window's own steps around a recording: Record disables Record and Play, empties the
  // text and enables Stop; Stop does the reverse, without touching the text.
  virtual void recordingStarting() = 0;
  virtual void recordingStopping() = 0;
  // The samplers: cursor positions and drags every 10 ms, clicks as buttons go down.
  virtual void runMoveSampler(bool on) = 0;
  virtual void runClickSampler(bool on) = 0;

  // Save Macro: the name typed for the macro, the file an entry of the macro folder is, and the
  // saved entry, which the macro list shows and which empties the name.
  virtual std::string macroName() = 0;
  virtual std::string macroPath(std::string_view entry) = 0;
  virtual void macroSaved(std::string entry) = 0;
};

}  // namespace qb
