#pragma once
// One running recorder program: its windows, its subsystems, start-up, the run modes and the
// shut-down every exit shares.

#include <functional>
#include <memory>
#include <string>

#include "app/form1.h"
#include "builder/form_macro_builder.h"
#include "hotkeys/form2.h"
#include "library/macro_library.h"
#include "platform/desktop.h"
#include "platform/settings.h"
#include "record/keyboard_hook.h"
#include "record/mouse_capture.h"
#include "record/recording.h"
#include "script/form4.h"
#include "script/module_data.h"

namespace qb {

struct ProgramConfig {
  // The stub build: plays the macro appended to its own executable and ends.
  bool standAloneBuild = false;
};

class Program {
 public:
  Program(platform::Desktop& desktop, ProgramConfig config);
  ~Program();

  // The start-up sequence. Returns true when the program goes on running (normal mode) and
  // false when it has already ended (run-file and stand-alone mode, or a start-up failure).
  bool startUp();
  // Every way of leaving: removes the notification icon, the hot keys window and the keyboard
  // hook, and ends the program.
  void shutDown();
  bool ended() const { return ended_; }
  int exitStatus() const { return exitStatus_; }

  // The folder of the running executable.
  std::string ownFolder();
  // Where macros go when no location is stored.
  std::string defaultMacroFolder();
  // The builder window, loaded on first use.
  FormMacroBuilder& builder();
  bool builderLoaded() const { return builder_ != nullptr; }
  void unloadBuilder();
  std::string triggerStamp();
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
  void runFileMode(const std::string& path);
  void standAloneMode();
  void playFromStartUp();
  void end(int status);

  std::unique_ptr<FormMacroBuilder> builder_;
  bool ended_ = false;
  int exitStatus_ = 0;
};

}  // namespace qb
