#pragma once
// The program's own file and arguments, the shell's special folders and the user's documents.

#include "platform/shell.h"

namespace qb::platform::win32 {

class Win32Environment final : public Environment {
 public:
  // GetModuleFileNameW, however long the path.
  std::string executablePath() override;
  // The command line after the program's own name.
  std::string arguments() override;
  // The desktops and the Start menus, the user's and everyone's.
  std::vector<std::string> specialFolders() override;
  // Documents\Quillbarrow.
  std::string userDataFolder() override;
};

// The arguments part of a Windows command line: what follows the program's name, which may be
// quoted (exposed for tests).
std::wstring argumentsOf(std::wstring_view commandLine);

}  // namespace qb::platform::win32
