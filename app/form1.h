#pragma once
// The main window: every control of the recorder program's main window, its layout in twips,
// and its own handlers. Actions of other subsystems are delegated to them through the Program.

#include "forms/controls.h"
#include "forms/form.h"
#include "forms/list_controls.h"
#include "forms/timer.h"
#include "script/play_host.h"

namespace qb {

class Program;

class Form1 : public forms::Form, public PlayHost {
 public:
  explicit Form1(Program& program);

  // PlayHost: the macro text field, its advanced mark, the stop request in "Speed?"'s tag,
  // the playing mark in the window's own tag, and the buttons around a play.
  std::shared_ptr<const std::string> macroText() override { return Text1.sharedText(); }
  bool hasMacroText() override { return !Text1.text().empty(); }
  bool advancedMark() override { return !Text1.tag().empty(); }
  bool stopRequested() override { return Command20.tag() == "Break"; }
  void setStopRequest(bool on) override { Command20.setTag(on ? "Break" : ""); }
  void setPlayingMark(std::string_view mark) override { setPlayingMarkText(std::string(mark)); }
  void playStarting() override;
  void playEnded() override;
  void playRefused() override { Command2.setTag(""); }

  const std::string& playingMark() const { return playingMark_; }
  // The keyboard hook follows the mark: it decides which keys the hook may swallow.
  void setPlayingMarkText(std::string mark);
  // The notification icon's mouse event arrives as the window's mouse-move with this state.
  void mouseMove(int buttons);
  // Writes the current date and time into a trigger field.
  void trigger(forms::TextBox& field);

  forms::Label Label1, Label2, Label3, Label4;
  forms::Button Command1, Command5, Command4, Command2, Command19, Command20, Command10, Command14,
      Command15, Command17, Command7, Command12, Command21, Command9, Command8, Command22;
  forms::CheckBox Check22, Check1;
  forms::TextBox Text2;
  forms::ListBox List1;
  forms::Frame Frame1;
  forms::Label Label5;
  forms::TextBox Text4;
  forms::TextBox Text1;
  forms::TextBox Text5, Text8, Text9, Textload;
  forms::Timer Timer1, Timer4;
  // While the window is hidden to the notification area: brings it back should the area go.
  forms::Timer TrayWatch;
  forms::MenuItem MFileAbout, MFileHelp, MFileSeparator, MExit, MShowOptions, MHelpAbout, MHelpHelp;

  static constexpr int kStartWidth = 6700, kStartHeight = 7050, kOptionsHeight = 7870;

 private:
  void play();
  void alwaysOnTop();
  void minimize();
  void watchTray();
  void createShortcut();
  void help();
  void about();

  Program& program_;
  std::string playingMark_;
  bool trayAdded_ = false;
};

}  // namespace qb
