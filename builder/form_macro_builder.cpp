#include "builder/form_macro_builder.h"

#include "builder/builder_host.h"
#include "builder/command_lines.h"
#include "builder/key_name_list.h"
#include "common/product.h"

namespace qb {

namespace {
using forms::Rect;
constexpr Rect optionButton(int index) {
  return {120, 240 + index * 600, 2895, 495};
}
}  // namespace

FormMacroBuilder::FormMacroBuilder(platform::Desktop& desktop, BuilderHost& host)
    : forms::Form("FormMacroBuilder", "Advanced Macro Builder - " + std::string(kSiteName),
                  desktop.loop),
      FrameOptions(*this, "FrameOptions", "Macro Options", {120, 120, 3135, 6975}),
      CmdMouse(*this, "CmdMouse", "Set Mouse Movement and Clicks", optionButton(0)),
      CmdSendText(*this, "CmdSendText", "Send Keyboard Text", optionButton(1)),
      CmdDelay(*this, "CmdDelay", "Set Delay", optionButton(2)),
      CmdRun(*this, "CmdRun", "Run Application", optionButton(3)),
      CmdLoop(*this, "CmdLoop", "Repeat It?", optionButton(4)),
      CmdFile(*this, "CmdFile", "Get Data from a File", optionButton(5)),
      CmdActivate(*this, "CmdActivate", "Activate Window", optionButton(6)),
      CmdLimit(*this, "CmdLimit", "Limit To Window", optionButton(7)),
      CmdSave(*this, "CmdSave", "Save Macro", optionButton(8)),
      CmdList(*this, "CmdList", "List / Edit Advanced Macros", optionButton(9)),
      CmdExit(*this, "CmdExit", "E&xit", optionButton(10)),
      HintLabel(*this, "HintLabel", std::string(kBuilderHint), {3600, 1800, 4575, 735}),
      MacroTextLabel(*this, "MacroTextLabel", "Macro Text:", {3480, 4110, 1500, 210}),
      MacroText(*this, "MacroText", {3480, 4320, 4815, 2295}, true),
      CmdRunMacro(*this, "CmdRunMacro", "Run Macro", {3480, 6720, 1455, 375}),
      CmdClearMacro(*this, "CmdClearMacro", "Clear Macro", {5040, 6720, 1455, 375}),
      KeyNameList(*this, "KeyNameList", {kKeyListLeft, 120, kKeyListWidth, 6975}, true),
      MouseTimer(*this, "MouseTimer", desktop.loop, 250),
      run(*this),
      loop(*this),
      file(*this),
      mouse(*this),
      limit(*this),
      activate(*this),
      delay(*this),
      sendText(*this),
      save(*this),
      edit(*this),
      desktop_(desktop),
      host_(host),
      panels_{&run.FrameRun,     &loop.FrameLoop,         &file.FrameFile,
              &mouse.FrameMouse, &limit.FrameLimit,       &activate.FrameActivate,
              &delay.FrameDeLay, &sendText.FrameSendText, &save.FrameSave,
              &edit.FrameEdit} {
  for (forms::Button* b : {&CmdMouse, &CmdSendText, &CmdDelay, &CmdRun, &CmdLoop, &CmdFile,
                           &CmdActivate, &CmdLimit, &CmdSave, &CmdList, &CmdExit})
    b->setContainer(&FrameOptions);
  KeyNameList.setText(keyNameListText());
  KeyNameList.setReadOnly(true);
  KeyNameList.setFixedPitch(true);  // its names and codes stand in columns
  KeyNameList.setVisible(false);
  limit.QuitIfInactive.setValue(true);

  bind(CmdMouse, [this] { showPanel(mouse.FrameMouse); });
  bind(CmdSendText, [this] { showPanel(sendText.FrameSendText); });
  bind(CmdDelay, [this] { showPanel(delay.FrameDeLay); });
  bind(CmdRun, [this] { showPanel(run.FrameRun); });
  bind(CmdLoop, [this] { showPanel(loop.FrameLoop); });
  bind(CmdFile, [this] { showPanel(file.FrameFile); });
  bind(CmdActivate, [this] { showPanel(activate.FrameActivate); });
  bind(CmdLimit, [this] { showLimitPanel(); });
  bind(CmdSave, [this] { showPanel(save.FrameSave); });
  bind(CmdList, [this] {
    showPanel(edit.FrameEdit);
    ListMacro();
  });
  bind(CmdExit, [this] { exitBuilder(); });
  bind(CmdRunMacro, [this] { runMacro(); });
  bind(CmdClearMacro, [this] { clearMacro(); });

  bind(run.Ok, [this] { addLine("run=" + run.Path.text()); });
  bind(file.Ok, [this] { addLine("filedata=" + file.Path.text()); });
  bind(activate.Ok, [this] { addLine("activate=" + activate.Title.text()); });
  bind(delay.Ok, [this] { addLine("waiting=" + delay.Delay.text()); });
  bind(sendText.Ok, [this] {
    addLine(sendTextLine(sendText.Text.text(), sendText.Ctrl.value() == 1,
                         sendText.Shift.value() == 1, sendText.Alt.value() == 1));
  });
  bind(mouse.Ok, [this] { addMouseLines(); });
  bind(limit.Ok, [this] { addLimitLine(); });
  bind(loop.Ok, [this] { addLoopHeader(); });
  bind(save.Ok, [this] { saveMacro(); });
  for (forms::Button* cancel :
       {&run.Cancel, &loop.Cancel, &file.Cancel, &mouse.Cancel, &limit.Cancel, &activate.Cancel,
        &delay.Cancel, &sendText.Cancel, &save.Cancel, &edit.Cancel, &edit.Ok})
    bind(*cancel, [this] { HideFrame(); });
  bind(mouse.GetPosition, [this] { toggleMouseSampler(); });
  bind(sendText.SampleKeys, [this] { toggleKeyNames(); });
  edit.Macros.onClick = [this] {
    if (enabled()) loadMacro();
  };
  MouseTimer.onTimer = [this] { sampleMousePosition(); };
  onClose = [this] {
    if (enabled()) unloadLater();
  };
  load();
}

void FormMacroBuilder::bind(forms::Button& button, std::function<void()> action) {
  button.onClick = [this, action = std::move(action)] {
    if (enabled()) action();
  };
}

void FormMacroBuilder::load() {
  resolveMacroFolder();
  limit.Match.clear();
  for (const char* entry : {"Exact Match", "Starts With", "Ends With", "Contains"})
    limit.Match.addItem(entry);
  const Rect corner = run.FrameRun.layout();
  for (forms::Frame* panel : panels_) {
    Rect r = panel->layout();
    r.left = corner.left;
    r.top = corner.top;
    panel->setLayout(r);
  }
  HideFrame();
  CmdMouse.click();
  setSize(kNormalWidth, kHeight);
}

void FormMacroBuilder::HideFrame() {
  for (forms::Frame* panel : panels_) panel->setVisible(false);
  HintLabel.setVisible(true);
}

const forms::Frame* FormMacroBuilder::shownPanel() const {
  for (const forms::Frame* panel : panels_)
    if (panel->visible()) return panel;
  return nullptr;
}

void FormMacroBuilder::showPanel(forms::Frame& panel) {
  HideFrame();
  HintLabel.setVisible(false);
  panel.setVisible(true);
}

void FormMacroBuilder::showLimitPanel() {
  showPanel(limit.FrameLimit);
  // Wide enough for the whole panel, which is wider than the others.
  const Rect r = limit.FrameLimit.layout();
  setSize(r.left + r.width + kEdgeMargin, height());
}

void FormMacroBuilder::toggleKeyNames() {
  if (KeyNameList.visible()) {
    KeyNameList.setVisible(false);
    setSize(kNormalWidth, height());
  } else {
    KeyNameList.setVisible(true);
    const Rect r = KeyNameList.layout();
    setSize(r.left + r.width + kEdgeMargin, height());
  }
}

void FormMacroBuilder::say(std::string_view text) {
  desktop_.dialogs.messageBox(text, kProductTitle, platform::MessageButtons::Ok);
}

void FormMacroBuilder::runMacro() {
  // No editor, no second run and no unload can act until the runner returns.
  const Busy busy(*this);
  setEnabled(false);
  host_.runAdvancedMacro(MacroText.text());
  setEnabled(true);
}

void FormMacroBuilder::clearMacro() {
  if (desktop_.dialogs.messageBox("Are you sure you would like to clear the macro text",
                                  kProductTitle,
                                  platform::MessageButtons::YesNo) == platform::MessageAnswer::Yes)
    MacroText.setText("");
}

void FormMacroBuilder::exitBuilder() {
  host_.showMainWindow();
  requestMainListRefresh();
  unloadLater();
}

void FormMacroBuilder::unloadLater() {
  hide();
  MouseTimer.setRunning(false);
  postUnload();
}

FormMacroBuilder::Busy::~Busy() {
  if (--form_.busy_ == 0 && form_.unloadWhenIdle_) form_.postUnload();
}

void FormMacroBuilder::postUnload() {
  // The window is destroyed after the handler that closed it has returned, and never under a
  // handler of its own that is still turning the event loop. A Show in between keeps it.
  BuilderHost& host = host_;
  FormMacroBuilder* self = this;
  desktop_.loop.post([&host, self] {
    if (!host.holdsBuilder(*self) || self->visible()) return;
    if (self->busy_ > 0) {
      self->unloadWhenIdle_ = true;
      return;
    }
    host.unloadBuilder();
  });
}

}  // namespace qb
