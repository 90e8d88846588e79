#include <windows.h>

#include <cstdio>

#include "common/utf16_win32.h"
#include "programs/own_executable.h"

namespace qb {

// The module's own file name, however long its path; `argv0` only if the system cannot say.
std::string ownExecutablePath(const char* argv0) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return argv0 ? argv0 : "";
    if (length < path.size()) {
      path.resize(length);
      return win32::utf8FromUtf16(path);
    }
    path.resize(path.size() * 2);
  }
}

void useStartingConsole() {
  // Output already sent to a file or a pipe stays there.
  const auto goesNowhere = [](DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle == nullptr || handle == INVALID_HANDLE_VALUE;
  };
  const bool output = goesNowhere(STD_OUTPUT_HANDLE), errors = goesNowhere(STD_ERROR_HANDLE);
  if (!output && !errors) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  if (output) (void)freopen("CONOUT$", "w", stdout);
  if (errors) (void)freopen("CONOUT$", "w", stderr);
}

}  // namespace qb
