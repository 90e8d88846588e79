#pragma once
#include <string>

#include "platform/shell.h"

namespace qb::platform::x11 {

// Shortcuts as freedesktop.org desktop entries: the file at the given path, named after it,
// starting the target; the hot key text is kept in X-Quillbarrow-HotKey (desktop entries have
// no hot key of their own). Written atomically and made executable, as file managers require
// of launchers.
class DesktopEntryWriter final : public ShortcutWriter {
 public:
  bool write(const Shortcut& shortcut, std::string* error) override;
};

// The text of the entry.
std::string desktopEntryText(const Shortcut& shortcut);
// One argument of an Exec line: quoted when it has a reserved character, '%' doubled, then
// escaped as a string value (so a backslash inside quotes becomes four).
std::string desktopExecArgument(std::string_view argument);

}  // namespace qb::platform::x11
