#pragma once
#include "platform/posix/xdg_folders.h"
#include "platform/shell.h"

namespace qb::platform::x11 {

// The running program on Linux. Special folders: shortcutFolders(), the desktop and the
// applications menu folder.
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

}  // namespace qb::platform::x11
