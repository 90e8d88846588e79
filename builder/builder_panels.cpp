#include "builder/builder_panels.h"

#include <initializer_list>

namespace qb {

namespace {
using forms::Rect;

// Layout inside a panel, relative to its frame.
constexpr Rect kHintRect{120, 240, kPanelWidth - 240, 735};
constexpr Rect kFieldRect{120, 1080, kPanelWidth - 240, 285};
constexpr Rect kOkRect{120, kPanelHeight - 600, 1215, 375};
constexpr Rect kCancelRect{1440, kPanelHeight - 600, 1215, 375};
constexpr Rect kPanelRect{3480, 120, kPanelWidth, kPanelHeight};

void contain(forms::Frame& frame, std::initializer_list<forms::Control*> children) {
  for (forms::Control* c : children) c->setContainer(&frame);
}

// Enter presses the shown panel's OK, Escape its Cancel.
void markDialogButtons(forms::Button& ok, forms::Button& cancel) {
  ok.setDefault(true);
  cancel.setCancel(true);
}
}  // namespace

RunPanel::RunPanel(forms::Form& form)
    : FrameRun(form, "FrameRun", "Run Application", kPanelRect),
      Hint(form, "RunHint", "Enter .exe file path (ex: c:\\windows\\notepad.exe)", kHintRect),
      Path(form, "RunPath", kFieldRect),
      Ok(form, "RunOk", "OK", kOkRect),
      Cancel(form, "RunCancel", "Cancel it", kCancelRect) {
  contain(FrameRun, {&Hint, &Path, &Ok, &Cancel});
  markDialogButtons(Ok, Cancel);
}

LoopPanel::LoopPanel(forms::Form& form)
    : FrameLoop(form, "FrameLoop", "Loop", kPanelRect),
      Hint(form, "LoopHint",
           "Enter # of times you would like to run the macro or check infinite, if you don't want "
           "it to stop",
           kHintRect),
      Count(form, "LoopCount", {120, 1080, 1215, 285}),
      Infinite(form, "LoopInfinite", "Infinite", {1560, 1080, 1215, 285}),
      Ok(form, "LoopOk", "OK", kOkRect),
      Cancel(form, "LoopCancel", "Cancel It", kCancelRect) {
  contain(FrameLoop, {&Hint, &Count, &Infinite, &Ok, &Cancel});
  markDialogButtons(Ok, Cancel);
}

FilePanel::FilePanel(forms::Form& form)
    : FrameFile(form, "FrameFile", "File Data Import", kPanelRect),
      Hint(form, "FileHint",
           "If you would like to import data from a text file and have the macro enter it then "
           "enter the file location here",
           kHintRect),
      Path(form, "FilePath", kFieldRect),
      Ok(form, "FileOk", "OK", kOkRect),
      Cancel(form, "FileCancel", "Cancel It", kCancelRect) {
  contain(FrameFile, {&Hint, &Path, &Ok, &Cancel});
  markDialogButtons(Ok, Cancel);
}

MousePanel::MousePanel(forms::Form& form)
    : FrameMouse(form, "FrameMouse", "Set Mouse", kPanelRect),
      XLabel(form, "MouseXLabel", "Mouse X:", {120, 240, 1215, 255}),
      YLabel(form, "MouseYLabel", "Mouse Y:", {1440, 240, 1215, 255}),
      X(form, "MouseX", {120, 480, 1215, 285}),
      Y(form, "MouseY", {1440, 480, 1215, 285}),
      LeftClick(form, "OptLeftClick", "Left Click", "click", {120, 960, 1455, 255}),
      LeftDown(form, "OptLeftDown", "Left Down", "click", {120, 1260, 1455, 255}),
      RightClick(form, "OptRightClick", "Right Click", "click", {1680, 960, 1455, 255}),
      RightDown(form, "OptRightDown", "Right Down", "click", {1680, 1260, 1455, 255}),
      LeftUp(form, "OptLeftUp", "Left UP", "click", {120, 1560, 1455, 255}),
      RightUp(form, "OptRightUp", "Right Up", "click", {1680, 1560, 1455, 255}),
      NoClick(form, "OptNoClick", "No Click", "click", {120, 1860, 1455, 255}),
      GetPosition(form, "GetMousePosition", "Get Mouse Position", {2880, 480, 1815, 375}),
      Ok(form, "MouseOk", "OK", kOkRect),
      Cancel(form, "MouseCancel", "Cancel It", kCancelRect) {
  contain(FrameMouse, {&XLabel, &YLabel, &X, &Y, &LeftClick, &LeftDown, &RightClick, &RightDown,
                       &LeftUp, &RightUp, &NoClick, &GetPosition, &Ok, &Cancel});
  markDialogButtons(Ok, Cancel);
}

LimitPanel::LimitPanel(forms::Form& form)
    : FrameLimit(form, "FrameLimit", "Limit to Specific Windows",
                 {kPanelRect.left, kPanelRect.top, kLimitPanelWidth, kPanelHeight}),
      Hint(form, "LimitHint",
           "Enter a Window Name to limit the macro to. (ex: if you enter Notepad the macro will "
           "only run when a program with name Notepad has the focus.)",
           {120, 240, kLimitPanelWidth - 240, 735}),
      WindowName(form, "LimitWindowName", {120, 1080, kLimitPanelWidth - 240, 285}),
      Match(form, "LimitMatch", {120, 1500, 2415, 315}),
      QuitIfInactive(form, "OptLimitQuit", "Quit Marco if Winodw is not active", "limit",
                     {120, 1980, kLimitPanelWidth - 240, 255}),
      WaitUntilActive(form, "OptLimitWait", "Have Macro Wait until window is active", "limit",
                      {120, 2280, kLimitPanelWidth - 240, 255}),
      Ok(form, "LimitOk", "OK", kOkRect),
      Cancel(form, "LimitCancel", "Cancel It", kCancelRect) {
  contain(FrameLimit,
          {&Hint, &WindowName, &Match, &QuitIfInactive, &WaitUntilActive, &Ok, &Cancel});
  markDialogButtons(Ok, Cancel);
}

ActivatePanel::ActivatePanel(forms::Form& form)
    : FrameActivate(form, "FrameActivate", "Activate Window", kPanelRect),
      Hint(form, "ActivateHint",
           "Enter the partial name of the window that you would like the macro to focus on",
           kHintRect),
      Title(form, "ActivateTitle", kFieldRect),
      Ok(form, "ActivateOk", "OK", kOkRect),
      Cancel(form, "ActivateCancel", "Cancel It", kCancelRect) {
  contain(FrameActivate, {&Hint, &Title, &Ok, &Cancel});
  markDialogButtons(Ok, Cancel);
}

DelayPanel::DelayPanel(forms::Form& form)
    : FrameDeLay(form, "FrameDeLay", "Delay", kPanelRect),
      Hint(form, "DelayHint",
           "Enter the Number you want to delay the macro between a move, each # is 1000th of a "
           "second, so 1500 would be 1.5 seconds",
           kHintRect),
      Delay(form, "DelayMs", {120, 1080, 1215, 285}),
      Ok(form, "DelayOk", "OK", kOkRect),
      Cancel(form, "DelayCancel", "Cancel It", kCancelRect) {
  contain(FrameDeLay, {&Hint, &Delay, &Ok, &Cancel});
  markDialogButtons(Ok, Cancel);
}

SendTextPanel::SendTextPanel(forms::Form& form)
    : FrameSendText(form, "FrameSendText", "Send Keyoad Text", kPanelRect),
      Hint(form, "SendHint",
           "Enter Text you would like the macro to send to the screen, or enter functin keys like "
           "{enter} for enter",
           kHintRect),
      Text(form, "SendText", kFieldRect),
      Ctrl(form, "SendCtrl", "Ctrl", {120, 1500, 855, 255}),
      Shift(form, "SendShift", "Shift", {1080, 1500, 855, 255}),
      Alt(form, "SendAlt", "Alt", {2040, 1500, 855, 255}),
      SampleKeys(form, "SampleKeys", "Sample Keys", {3000, 1440, 1575, 375}),
      Ok(form, "SendOk", "OK", kOkRect),
      Cancel(form, "SendCancel", "Cancel It", kCancelRect) {
  contain(FrameSendText, {&Hint, &Text, &Ctrl, &Shift, &Alt, &SampleKeys, &Ok, &Cancel});
  markDialogButtons(Ok, Cancel);
}

SavePanel::SavePanel(forms::Form& form)
    : FrameSave(form, "FrameSave", "Save Macro", kPanelRect),
      Hint(form, "SaveHint", "Enter Macro Name", {120, 240, kPanelWidth - 240, 255}),
      Name(form, "SaveName", {120, 600, kPanelWidth - 240, 285}),
      Ok(form, "SaveOk", "OK", kOkRect),
      Cancel(form, "SaveCancel", "Cancel It", kCancelRect) {
  contain(FrameSave, {&Hint, &Name, &Ok, &Cancel});
  markDialogButtons(Ok, Cancel);
}

EditPanel::EditPanel(forms::Form& form)
    : FrameEdit(form, "FrameEdit", "List / Edit Advanced Macro Only (Click Macro to Edit)",
                kPanelRect),
      Macros(form, "EditList", {120, 240, kPanelWidth - 240, 2955}),
      Ok(form, "EditOk", "OK", kOkRect),
      Cancel(form, "EditCancel", "Cancel It", kCancelRect) {
  contain(FrameEdit, {&Macros, &Ok, &Cancel});
  markDialogButtons(Ok, Cancel);
}

}  // namespace qb
