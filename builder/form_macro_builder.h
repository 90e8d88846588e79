#pragma once
// The Advanced Macro Builder window: composes an advanced macro command by command, runs it,
// and keeps advanced macros as "Macro-AM-" files in the macro folder.

#include <array>
#include <functional>
#include <string>

#include "builder/builder_host.h"
#include "builder/builder_panels.h"
#include "forms/controls.h"
#include "forms/form.h"
#include "forms/list_controls.h"
#include "forms/timer.h"
#include "platform/desktop.h"

namespace qb {

inline constexpr std::string_view kBuilderHint =
    "Select an Option from the buttons on the left side of the screen.";

class FormMacroBuilder : public forms::Form {
 public:
  FormMacroBuilder(platform::Desktop& desktop, BuilderHost& host);

  // Window widths in twips: as loaded, and with the key name list shown beside.
  static constexpr int kNormalWidth = 8445, kHeight = 7600, kKeyListLeft = 9720,
                       kKeyListWidth = 3255, kEdgeMargin = 200;

  // Hides every panel; the hint shows instead.
  void HideFrame();
  // Refills the list of advanced macro files, then asks the main window to relist its folder.
  void ListMacro();
  // The panel shown now, or null.
  const forms::Frame* shownPanel() const;

  forms::Frame FrameOptions;
  forms::Button CmdMouse, CmdSendText, CmdDelay, CmdRun, CmdLoop, CmdFile, CmdActivate, CmdLimit,
      CmdSave, CmdList, CmdExit;
  forms::Label HintLabel;
  forms::Label MacroTextLabel;
  forms::TextBox MacroText;
  forms::Button CmdRunMacro, CmdClearMacro;
  forms::TextBox KeyNameList;
  forms::Timer MouseTimer;

  RunPanel run;
  LoopPanel loop;
  FilePanel file;
  MousePanel mouse;
  LimitPanel limit;
  ActivatePanel activate;
  DelayPanel delay;
  SendTextPanel sendText;
  SavePanel save;
  EditPanel edit;

 private:
  // Binds a handler that only acts while the window takes input (it is disabled during a run).
  void bind(forms::Button& button, std::function<void()> action);
  void load();
  void showPanel(forms::Frame& panel);
  void say(std::string_view text);
  void addLine(std::string_view line);

  // Command editors.
  void addLoopHeader();
  void addMouseLines();
  void addLimitLine();
  void toggleMouseSampler();
  void sampleMousePosition();
  void toggleKeyNames();
  void showLimitPanel();

  void runMacro();
  void clearMacro();
  void exitBuilder();
  void unloadLater();
  void postUnload();

  // Handlers that turn the event loop hold this, so a close meanwhile waits for them to return.
  class Busy {
   public:
    explicit Busy(FormMacroBuilder& form) : form_(form) { ++form_.busy_; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
    ~Busy();

   private:
    FormMacroBuilder& form_;
  };

  // Advanced macro files.
  void resolveMacroFolder();
  void saveMacro();
  void loadMacro();
  void requestMainListRefresh();

  platform::Desktop& desktop_;
  BuilderHost& host_;
  const std::array<forms::Frame*, 10> panels_;
  unsigned listingGeneration_ = 0;
  int busy_ = 0;
  bool unloadWhenIdle_ = false;
};

}  // namespace qb
