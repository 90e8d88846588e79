#include "shortcut/kestrip_form.h"

#include <initializer_list>

#include "common/file_io.h"
#include "common/folder_listing.h"
#include "common/os_files.h"
#include "common/product.h"
#include "common/text.h"
#include "platform/own_files.h"
#include "script/make_exe.h"
#include "script/player.h"
#include "shortcut/shortcut_rules.h"

namespace qb {

namespace {
constexpr std::string_view kNoLocation =
    "Could you please select a location for the Short Cut to be placed";
constexpr std::string_view kNoMacro = "Could you please select a macro from the list box";
constexpr std::string_view kNeedModifier =
    "Could you please select at least one of the following, Ctrl, Shift, Alt. "
    "Note: If you do not want to use a Ctrl, Shift, Alt then user a F# key. For Example F7 ";
constexpr int kWide = KestripForm::kWidth - KestripForm::kWideMargin;
}  // namespace

KestripForm::KestripForm(platform::Desktop& desktop)
    : forms::Form("Kestrip", std::string(kWindowTitle), desktop.loop),
      Note(*this, "Note",
           "Note: This creates a Windows Short Cut, That means Quillbarrow does not have to be "
           "running to launch the short cuts.",
           {120, 120, kWide, 495}),
      FolderLabel(*this, "FolderLabel", "Maco Location:", {120, 720, kWide, 255}),
      Folder(*this, "Folder", {120, 960, kWide, 285}),
      FilesLabel(*this, "FilesLabel",
                 "Select a Macro to Assign the Short Cut to:", {120, 1320, kWide, 255}),
      Files(*this, "Files", {120, 1560, kWide, 1815}),
      KeyLabel(*this, "KeyLabel", "Short Cut Key", {120, 3480, 1215, 255}),
      Key(*this, "Key", {120, 3720, 1215, 315}),
      Ctrl(*this, "Ctrl", "Ctrl", {1440, 3720, 855, 255}),
      Shift(*this, "Shift", "Shift", {2400, 3720, 855, 255}),
      Alt(*this, "Alt", "Alt", {3360, 3720, 855, 255}),
      LocationLabel(*this, "LocationLabel", "Location of Shortcut", {120, 4200, kWide, 255}),
      Location(*this, "Location", {120, 4440, kWide, 315}),
      Ok(*this, "Ok", "OK", {120, 5040, 1455, 375}),
      Cancel(*this, "Cancel", "Cancel It", {1680, 5040, 1455, 375}),
      Help(*this, "Help", "Help", {3240, 5040, 1455, 375}),
      desktop_(desktop) {
  setSizeIsClientArea(true);  // its layout was designed for the client area
  setSize(kWidth, kHeight);
  Folder.onChange = [this] { folderChanged(); };
  Ok.onClick = [this] { makeShortcut(); };
  Cancel.onClick = [this] { end(); };
  Ok.setDefault(true);
  Cancel.setCancel(true);
  Help.onClick = [this] { desktop_.shell.openUrl(helpPage()); };
  onClose = [this] { end(); };
  filesFolder_ = os::currentFolder();
}

void KestripForm::start() {
  for (const auto& location : shortcutLocations(desktop_.environment.specialFolders()))
    Location.addItem(location);
  Location.setText(std::string(kSelectLocation));
  for (auto& key : shortcutKeys()) Key.addItem(std::move(key));
  // The file list starts in the current folder; the stored macro folder replaces it if it can.
  folderChanged();
  Folder.setText(desktop_.settings.read("Options", "Location").value_or(""));
  removeInterruptedWrites(desktop_.environment, Folder.text());
  if (trimBlanks(desktop_.environment.arguments()) != kShortcutMakerToken)
    desktop_.shell.openUrl(helpPage());
}

void KestripForm::resize(int width, int height) {
  setSize(width, height);
  for (forms::Control* wide : std::initializer_list<forms::Control*>{&Folder, &Files, &Location}) {
    forms::Rect r = wide->layout();
    r.width = width - kWideMargin;
    wide->setLayout(r);
  }
}

void KestripForm::folderChanged() {
  // An empty or missing folder leaves the list where it was, without a message.
  const std::string folder = Folder.text().empty() ? filesFolder_ : Folder.text();
  const auto names = listFolder(folder, kShortcutFilePattern);
  if (!names) return;
  filesFolder_ = folder;
  Files.clear();
  for (const auto& name : *names) Files.addItem(name);
}

std::string KestripForm::ownFolder() const {
  return qb::ownFolder(desktop_.environment);
}

std::string KestripForm::helpPage() const {
  return helpPageAddress(desktop_.environment);
}

void KestripForm::say(std::string_view text) {
  desktop_.dialogs.messageBox(text, kProductTitle, platform::MessageButtons::Ok);
}

void KestripForm::end() {
  ended_ = true;
  hide();
  desktop_.loop.quit();
}

void KestripForm::makeShortcut() {
  // A blank location would put the shortcut at the file system's root.
  const std::string_view location = trimBlanks(Location.text());
  if (location == kSelectLocation || location.empty()) return say(kNoLocation);
  const int index = Files.listIndex();
  if (index < 0) return say(kNoMacro);
  const std::string fileName = Files.items()[static_cast<std::size_t>(index)];
  const std::string macroName = shortcutMacroName(fileName);
  if (macroName.empty()) return say(kNoMacro);

  std::string target = joinPath(filesFolder_, fileName);
  std::string madeIn;  // said when the program is not made beside the maker
  if (endsWithNoCase(fileName, ".txt")) {
    // A macro text file: its program is made beside the maker (or, where the user cannot write
    // there, in the user's own folder), always with the recorded-macro marker. The program's
    // name never is the macro file's own.
    const auto macro = readWholeFile(target);
    if (!macro) return say("The macro could not be read: " + macro.message());
    const std::string folder = writableFolder(desktop_.environment, kProgramSubfolder);
    if (folder != ownFolder()) madeIn = folder;
    target = joinPath(folder, standAloneProgramName(fileName));
    const auto made =
        writeStandAloneProgram(joinPath(ownFolder(), kStubProgram), target, *macro, false);
    if (!made) return say("The macro program could not be made: " + made.message());
  }

  platform::Shortcut shortcut;
  shortcut.path = joinPath(Location.text(), macroName + std::string(kShortcutExtension));
  const bool ctrl = Ctrl.value() == 1, shift = Shift.value() == 1, alt = Alt.value() == 1;
  if (!Key.text().empty()) {
    if (hotKeyNeedsModifier(ctrl, shift, alt, Key.text())) return say(kNeedModifier);
    shortcut.hotKey = hotKeyText(ctrl, shift, alt, Key.text());
  }
  shortcut.target = target;
  if (const auto written = desktop_.shortcuts.write(shortcut); !written)
    return say("The shortcut could not be written: " + written.message());
  // A hot key that cannot work is said instead of the completion, so it is not lost unseen.
  if (!shortcut.hotKey.empty()) {
    if (const std::string problem = desktop_.shortcuts.armHotKey(shortcut); !problem.empty())
      return say(problem);
  }
  if (madeIn.empty()) return say("Short Cut Complete");
  say("Short Cut Complete\r\n\r\nThe macro's program is " + target);
}

}  // namespace qb
