#pragma once
#include <string>
#include <vector>

#include "platform/shell.h"

namespace qb::platform::x11 {

// Shortcuts as freedesktop.org desktop entries: the file at the given path, named after it,
// starting the target; the hot key text is kept in X-Quillbarrow-HotKey (desktop entries have
// no hot key of their own). Written atomically and made executable, as file managers require
// of launchers.
//
// The hot key service (quillbarrow-hotkeys, see hot_key_service.h) makes those keys work: arming
// a hot key lists the service in the autostart folder, so it runs after every login, starts it
// now when it does not run, and waits until it has read the entry to say whether the key works.
class DesktopEntryWriter final : public ShortcutWriter {
 public:
  // `serviceProgram`: the service's executable; empty for the one beside this program's own.
  explicit DesktopEntryWriter(std::string serviceProgram = {});
  Result<> write(const Shortcut& shortcut) override;
  std::string armHotKey(const Shortcut& shortcut) override;

 private:
  std::string serviceProgram_;
};

// The autostart entry that starts the hot key service at login.
std::string hotKeyServiceAutostartText(const std::string& serviceProgram);
inline constexpr const char* kHotKeyServiceAutostartName = "quillbarrow-hotkeys.desktop";

// The text of the entry.
std::string desktopEntryText(const Shortcut& shortcut);
// One argument of an Exec line: quoted when it has a reserved character, '%' doubled, then
// escaped as a string value (so a backslash inside quotes becomes four).
std::string desktopExecArgument(std::string_view argument);
// A whole Exec value that every launcher runs. GLib looks for the program named first before it
// turns "%%" into '%', so a program whose path has a '%' is started through sh, whose name
// has none: sh -c 'exec "$0" "$@"' PROGRAM ARGUMENTS.
std::string desktopExecLine(const std::vector<std::string>& argv);

}  // namespace qb::platform::x11
