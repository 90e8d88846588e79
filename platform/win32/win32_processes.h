#pragma once
// Starting programs and documents, the browser and the text editor.

#include "platform/shell.h"
#include "platform/windows.h"

namespace qb::platform::win32 {

// A command line runs with CreateProcessW in a normal, focused window; a line that names a
// document or a folder instead of a program opens it with its associated program, as a double
// click does (ShellExecuteW).
class Win32Processes final : public Processes {
 public:
  Result<> start(std::string_view commandLine) override;
};

class Win32Shell final : public Shell {
 public:
  bool openUrl(std::string_view url) override;
  // Notepad, which every Windows has.
  Result<> openTextEditor(std::string_view path) override;
};

}  // namespace qb::platform::win32
