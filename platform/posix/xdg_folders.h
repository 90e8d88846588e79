#pragma once
// The freedesktop folders Quillbarrow writes to, found without a toolkit (the hot key service
// has none).

#include <string>
#include <string_view>
#include <vector>

namespace qb::platform::x11 {

// The folders shortcuts go to: the desktop folder (XDG_DESKTOP_DIR from user-dirs.dirs, the
// file xdg-user-dir reads, else ~/Desktop) and the applications menu folder
// ($XDG_DATA_HOME/applications, else ~/.local/share/applications).
std::vector<std::string> shortcutFolders();

// Whether the user's session is a Wayland one (where this program lives in XWayland).
bool waylandSession();

// $XDG_DATA_HOME, else ~/.local/share.
std::string dataHome();

// Where programs started at login are listed: $XDG_CONFIG_HOME/autostart, else
// ~/.config/autostart.
std::string autostartFolder();

// The desktop folder from the text of a user-dirs.dirs file; empty when it names none.
std::string desktopFolderFromUserDirs(std::string_view userDirs, const std::string& home);

}  // namespace qb::platform::x11
