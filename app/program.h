#pragma once
// One running recorder program: its windows, its subsystems, start-up, the run modes and the
// shut-down every exit shares. It is the host each subsystem asks for what it needs of the
// program: the subsystems know their host interfaces, not the program or its windows.

#include <functional>
#include <memory>
#include <string>

#include "app/form1.h"
#include "builder/builder_host.h"
#include "builder/form_macro_builder.h"
#include "hotkeys/form2.h"
#include "hotkeys/hot_key_host.h"
#include "library/macro_library.h"
#include "platform/desktop.h"
#include "platform/settings.h"
#include "record/keyboard_hook.h"
#include "record/mouse_capture.h"
#include "record/record_host.h"
#include "record/recording.h"
#include "script/form4.h"
#include "script/module_data.h"

namespace qb {

struct ProgramConfig {
  // The stub build: plays the macro appended to its own executable and ends.
  bool standAloneBuild = false;
};

class Program : public RecordHost, public HotKeyHost, public BuilderHost, public Form4Host {
 public:
  Program(platform::Desktop& desktop, ProgramConfig config);
  ~Program() override;

  // The start-up sequence. Returns true when the program goes on running (normal mode) and
  // false when it has already ended (run-file and stand-alone mode, or a start-up failure).
  bool startUp();
  // Every way of leaving: removes the notification icon, the hot keys window and the keyboard
  // hook, and ends the program.
  void shutDown();
  bool ended() const { return ended_; }
  int exitStatus() const { return exitStatus_; }

  // The folder of the running executable.
  std::string ownFolder() override;
  // Where macros go when no location is stored.
  std::string defaultMacroFolder();
  // The builder window, loaded on first use.
  FormMacroBuilder& builder();
  bool builderLoaded() const { return builder_ != nullptr; }
  void unloadBuilder() override;
  std::string triggerStamp() override;
  // A desktop with views shows each window as it is loaded and lets go of it before unloading.
  std::function<void(forms::Form&)> onWindowLoaded;
  std::function<void(forms::Form&)> onWindowUnloading;
  // The help page shipped beside the programs, as an address the browser opens.
  std::string helpPage();
  // "Make Macro a Exe": a stand-alone program for the selected macro.
  void makeMacroExe();

  platform::Desktop& desktop;
  const ProgramConfig config;
  Settings settings;
  ModuleData module;
  Form1 form1;
  MacroLibrary library;
  Form2 form2;
  Form4 form4;
  KeyboardHook hook;
  MouseCapture mouse;
  RecordingControl recording;

 private:
  // RecordHost: the main window's buttons, fields and timers, the hot keys window's rows.
  bool isRecording() override;
  bool isPlaying() override;
  void requestStop() override;
  void markBreak() override;
  void pressTrigger(RecordTrigger which, std::string stamp) override;
  std::optional<FunctionKeyPress> aimFunctionKey(int row, bool ctrl) override;
  bool functionKeySet(int row) override;
  bool functionKeyNeedsCtrl(int row) override;
  std::string_view recordedText() override;
  void appendRecorded(std::string_view lines) override;
  void setRecordedText(std::string text) override;
  std::size_t recordedTextChanges() override;
  void showRecordedEnd() override;
  bool recordsDrags() override;
  WMouse& cursor() override;
  void recordingStarting() override;
  void recordingStopping() override;
  void runMoveSampler(bool on) override;
  void runClickSampler(bool on) override;
  std::string macroName() override;
  std::string macroPath(std::string_view entry) override;
  void macroSaved(std::string entry) override;
  // HotKeyHost.
  Form2& hotKeyRows() override;
  ModuleData& hotKeyPlayer() override;
  std::string macroFolder() override;
  void playMacroText(Result<std::string> text) override;
  // BuilderHost.
  std::string cursorPositionText() override;
  std::string storedMacroLocation() override;
  void setMacroFolder(std::string folder) override;
  void refreshMacroList() override;
  void runAdvancedMacro(std::string text) override;
  void showMainWindow() override;
  bool holdsBuilder(const FormMacroBuilder& form) override;
  // Form4Host (macroPath is the recording's).
  std::string lastSelectedMacro() override;
  void clearMacroText() override;

  void runFileMode(const std::string& path);
  void standAloneMode();
  void playFromStartUp();
  void end(int status);

  std::unique_ptr<FormMacroBuilder> builder_;
  bool ended_ = false;
  int exitStatus_ = 0;
};

}  // namespace qb
