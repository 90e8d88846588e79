#pragma once
#include "platform/shell.h"

namespace qb::platform::x11 {

// The running program on Linux. Special folders: the desktop folder (XDG_DESKTOP_DIR from
// user-dirs.dirs, the file xdg-user-dir reads, else ~/Desktop) and the applications menu
// folder ($XDG_DATA_HOME/applications, else ~/.local/share/applications).
class LinuxEnvironment final : public Environment {
 public:
  std::string executablePath() override;
  // The arguments after the program name, joined with single blanks.
  std::string arguments() override;
  std::vector<std::string> specialFolders() override;
  // $XDG_DATA_HOME/quillbarrow, else ~/.local/share/quillbarrow.
  std::string userDataFolder() override;
  // On a Wayland session the program lives in XWayland and reaches X11 applications only.
  std::string sessionLimits() override;
};

// The desktop folder from the text of a user-dirs.dirs file; empty when it names none.
std::string desktopFolderFromUserDirs(std::string_view userDirs, const std::string& home);

}  // namespace qb::platform::x11
