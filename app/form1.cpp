#include "app/form1.h"

#include "app/program.h"
#include "common/file_io.h"
#include "common/product.h"
#include "common/text.h"
#include "script/player.h"

namespace qb {

namespace {
using forms::Rect;
constexpr Rect leftColumn(int top) {
  return {120, top, 1815, 495};
}
constexpr Rect secondColumn(int top) {
  return {2040, top, 1815, 495};
}
constexpr Rect kHidden{120, 7900, 1000, 285};
}  // namespace

Form1::Form1(Program& program)
    : forms::Form("Form1", std::string(kWindowTitle), program.desktop.loop),
      Label1(*this, "Label1",
             "Problems or questions? Please send an e-mail to " + std::string(kSupportAddress),
             {120, 900, 6135, 255}),
      Label2(*this, "Label2",
             "Hit Ctrl-R to Record and Hit Ctrl-T to Stop and Hit Ctrl-P to play.   More help can "
             "be found at ",
             {120, 1200, 6135, 495}),
      Label3(*this, "Label3", std::string(kHelpPageFile), {2040, 1440, 4215, 255}),
      Label4(*this, "Label4", "Hit the Break Key to Stop a Marco from Running.",
             {360, 1800, 3495, 255}),
      Command1(*this, "Command1", "Record", leftColumn(2040)),
      Command5(*this, "Command5", "Stop", leftColumn(2640)),
      Command4(*this, "Command4", "Save Macro", {4080, 2400, 2055, 255}),
      Command2(*this, "Command2", "Play", secondColumn(2040)),
      Command19(*this, "Command19", "Repeat it?", leftColumn(4440)),
      Command20(*this, "Command20", "Speed?", secondColumn(4440)),
      Command10(*this, "Command10", "Remove Macro", {4080, 2760, 2055, 255}),
      Command14(*this, "Command14", "Make Macro a Exe", secondColumn(3840)),
      Command15(*this, "Command15", "Show HotKeys", secondColumn(3240)),
      Command17(*this, "Command17", "Advanced Macro Builder", leftColumn(5640)),
      Command7(*this, "Command7", "Create  Shortcut", secondColumn(5040)),
      Command12(*this, "Command12", "Minimize", leftColumn(3840)),
      Command21(*this, "Command21", "&Options", leftColumn(5040)),
      Command9(*this, "Command9", "Help", secondColumn(2640)),
      Command8(*this, "Command8", "About", leftColumn(3240)),
      Command22(*this, "Command22", "E&xit", secondColumn(5640)),
      Check22(*this, "Check22", "Always On Top", {4320, 5880, 1695, 195}),
      Check1(*this, "Check1", "Enable Draging", {4320, 5640, 1575, 255}),
      Text2(*this, "Text2", {3960, 2040, 2295, 285}),
      // One macro at a time: Play, Remove and "Make Macro a Exe" act on the entry shown selected.
      List1(*this, "List1", {3960, 3240, 2295, 2205}),
      Frame1(*this, "Frame1", "Options", {120, 6240, 6255, 735}),
      Label5(*this, "Label5", "Macro Location", {240, 240, 1215, 255}),
      Text4(*this, "Text4", {1440, 240, 4695, 285}),
      Text1(*this, "Text1", {2040, 6480, 3735, 1335}, true),
      Text5(*this, "Text5", kHidden),
      Text8(*this, "Text8", kHidden),
      Text9(*this, "Text9", kHidden),
      Textload(*this, "Textload", kHidden),
      Timer1(*this, "Timer1", program.desktop.loop, 10),
      Timer4(*this, "Timer4", program.desktop.loop, 10),
      TrayWatch(*this, "TrayWatch", program.desktop.loop, 1000),
      MFileAbout(*this, "MFileAbout", "File", "About"),
      MFileHelp(*this, "MFileHelp", "File", "Help"),
      MFileSeparator(*this, "MFileSeparator", "File", ""),
      MExit(*this, "MExit", "File", "Exit"),
      MShowOptions(*this, "MShowOptions", "Options", "Show Options"),
      MHelpAbout(*this, "MHelpAbout", "Help", "About"),
      MHelpHelp(*this, "MHelpHelp", "Help", "Help"),
      program_(program) {
  Label5.setContainer(&Frame1);
  Text4.setContainer(&Frame1);
  for (forms::TextBox* hidden : {&Text5, &Text8, &Text9, &Textload}) hidden->setVisible(false);
  Command5.setEnabled(false);
  Command2.setEnabled(false);

  Command1.onClick = [this] { program_.recording.Record(); };
  Command5.onClick = [this] { program_.recording.Stop(); };
  Command4.onClick = [this] { program_.recording.SaveMacro(); };
  Command2.onClick = [this] { play(); };
  Command19.onClick = [this] { program_.form4.openForRepeat(); };
  Command20.onClick = [this] { program_.form4.openForSpeed(); };
  Command10.onClick = [this] { program_.library.remove(); };
  Command14.onClick = [this] { program_.makeMacroExe(); };
  Command15.onClick = [this] { program_.form2.show(); };
  Command17.onClick = [this] { program_.builder().show(); };
  Command7.onClick = [this] { createShortcut(); };
  Command12.onClick = [this] { minimize(); };
  Command21.onClick = [this] { setSize(width(), kOptionsHeight); };
  MShowOptions.onClick = [this] { setSize(width(), kOptionsHeight); };
  Command9.onClick = [this] { help(); };
  MHelpHelp.onClick = [this] { help(); };
  Label3.onClick = [this] { help(); };
  Label3.onMouseMove = [this] { Label3.setUnderline(true); };
  Command8.onClick = [this] { about(); };
  MFileAbout.onClick = [this] { about(); };
  MHelpAbout.onClick = [this] { about(); };
  Command22.onClick = [this] { program_.shutDown(); };
  MExit.onClick = [this] { program_.shutDown(); };
  onClose = [this] { program_.shutDown(); };

  Check22.onClick = [this] { alwaysOnTop(); };
  Check1.onClick = [this] {
    program_.settings.put("Options", "c1", std::to_string(Check1.value()));
  };
  List1.onClick = [this] { program_.library.select(); };
  List1.onDblClick = [this] { program_.library.openInEditor(); };
  Text4.onChange = [this] { program_.library.locationChanged(Text4.text()); };
  Text1.onChange = [this] { Command2.setEnabled(!Text1.text().empty()); };
  Text5.onChange = [this] { program_.recording.Record(); };
  Text8.onChange = [this] { program_.recording.Stop(); };
  Text9.onChange = [this] { play(); };
  Textload.onChange = [this] { program_.library.ListMacro(); };
  Timer1.onTimer = [this] { program_.mouse.moveTick(); };
  Timer4.onTimer = [this] { program_.mouse.clickTick(); };
  TrayWatch.onTimer = [this] { watchTray(); };
}

void Form1::trigger(forms::TextBox& field) {
  field.setText(program_.triggerStamp());
}

void Form1::setPlayingMarkText(std::string mark) {
  if (mark == playingMark_) return;
  playingMark_ = std::move(mark);
  program_.hook.updateSwallowable();
}

void Form1::play() {
  PlayAction(program_.module, *this);
}

void Form1::playStarting() {
  Command1.setEnabled(false);
  Command2.setEnabled(false);
  Command5.setEnabled(true);
  Timer1.setRunning(false);
}

void Form1::playEnded() {
  Timer4.setRunning(false);
  Command1.setEnabled(true);
  Command2.setEnabled(true);
  Command2.setTag("");
}

void Form1::mouseMove(int buttons) {
  Label3.setUnderline(false);
  if (buttons == 1 || buttons == 2) show();
}

void Form1::alwaysOnTop() {
  const bool on = Check22.value() == 1;
  auto& stack = program_.desktop.windowStack;
  stack.setTopmost(name(), on);
  stack.setTopmost(program_.builder().name(), on);
  program_.settings.put("Options", "OnTop", on ? "1" : "0");
}

void Form1::minimize() {
  if (!trayAdded_) {
    trayAdded_ = true;
    program_.desktop.tray.addIcon(kWindowTitle, [this](int buttons) { mouseMove(buttons); });
  }
  // Hidden, the window can only come back through the icon: without a notification area to
  // show it, minimise the ordinary way.
  if (!program_.desktop.tray.iconVisible()) {
    program_.desktop.windowStack.minimize(name());
    return;
  }
  hide();
  TrayWatch.setRunning(true);
}

void Form1::watchTray() {
  if (visible()) {
    TrayWatch.setRunning(false);
    return;
  }
  if (program_.desktop.tray.iconVisible()) return;
  TrayWatch.setRunning(false);
  show();
  program_.desktop.windowStack.minimize(name());
}

void Form1::createShortcut() {
  Check22.setValue(0);
  const std::string maker = joinPath(program_.ownFolder(), kShortcutMakerProgram);
  const auto started =
      program_.desktop.processes.start("\"" + maker + "\" " + std::string(kShortcutMakerToken));
  if (!started)
    program_.desktop.dialogs.messageBox(
        "The shortcut maker could not be started: " + started.message(), kProductTitle,
        platform::MessageButtons::Ok);
}

void Form1::help() {
  program_.desktop.shell.openUrl(program_.helpPage());
}

void Form1::about() {
  const std::string text = std::string(kProductTitle) +
                           " \r\nWritten by the Quillbarrow developers\r\n" +
                           std::string(kSupportAddress) + "\r\n" + std::string(kSiteName) + "\r\n";
  program_.desktop.dialogs.messageBox(text, kWindowTitle, platform::MessageButtons::Ok);
}

}  // namespace qb
