#pragma once
// The shortcut maker's window: a macro from the macro folder, a shortcut key and a desktop or
// menu folder; "OK" makes a stand-alone program for a macro text file beside the maker and
// writes a shortcut that starts it.

#include <string>

#include "forms/controls.h"
#include "forms/form.h"
#include "forms/list_controls.h"
#include "platform/desktop.h"

namespace qb {

class KestripForm : public forms::Form {
 public:
  explicit KestripForm(platform::Desktop& desktop);

  // What the window does when it is loaded: fills the lists, shows the stored macro folder and,
  // unless started with the launch token, opens the help page.
  void start();
  // The window was resized: the wide controls follow its width.
  void resize(int width, int height);
  // "Cancel It" or the close box: the program ends.
  bool ended() const { return ended_; }
  // The folder whose files the file list shows.
  const std::string& filesFolder() const { return filesFolder_; }

  static constexpr int kWidth = 4995, kHeight = 5730, kWideMargin = 400;

  forms::Label Note;
  forms::Label FolderLabel;
  forms::TextBox Folder;
  forms::Label FilesLabel;
  forms::ListBox Files;
  forms::Label KeyLabel;
  forms::ComboBox Key;
  forms::CheckBox Ctrl, Shift, Alt;
  forms::Label LocationLabel;
  forms::ComboBox Location;
  forms::Button Ok, Cancel, Help;

 private:
  void folderChanged();
  void makeShortcut();
  std::string ownFolder() const;
  std::string helpPage() const;
  void say(std::string_view text);
  void end();

  platform::Desktop& desktop_;
  std::string filesFolder_;
  bool ended_ = false;
};

}  // namespace qb
