#include "platform/win32/win32_environment.h"

#include <windows.h>
// windows.h first: the shell headers need its types.
#include <knownfolders.h>
#include <shlobj.h>

#include "common/utf16_win32.h"

namespace qb::platform::win32 {
namespace {

std::string knownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::string folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path)) && path)
    folder = qb::win32::utf8FromUtf16(path);
  CoTaskMemFree(path);
  return folder;
}

}  // namespace

std::wstring argumentsOf(std::wstring_view commandLine) {
  std::size_t i = 0;
  // The program's name ends at its closing quote, or at the first blank when it has none.
  if (!commandLine.empty() && commandLine[0] == L'"') {
    const auto close = commandLine.find(L'"', 1);
    i = close == std::wstring_view::npos ? commandLine.size() : close + 1;
  } else {
    while (i < commandLine.size() && commandLine[i] != L' ' && commandLine[i] != L'\t') ++i;
  }
  while (i < commandLine.size() && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
  return std::wstring(commandLine.substr(i));
}

std::string Win32Environment::executablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return qb::win32::utf8FromUtf16(path);
    }
    path.resize(path.size() * 2);
  }
}

std::string Win32Environment::arguments() {
  return qb::win32::utf8FromUtf16(argumentsOf(GetCommandLineW()));
}

std::vector<std::string> Win32Environment::specialFolders() {
  std::vector<std::string> folders;
  for (const KNOWNFOLDERID* id :
       {&FOLDERID_Desktop, &FOLDERID_PublicDesktop, &FOLDERID_StartMenu, &FOLDERID_Programs,
        &FOLDERID_CommonStartMenu, &FOLDERID_CommonPrograms, &FOLDERID_Startup})
    if (std::string folder = knownFolder(*id); !folder.empty()) folders.push_back(folder);
  return folders;
}

std::string Win32Environment::userDataFolder() {
  const std::string documents = knownFolder(FOLDERID_Documents);
  return documents.empty() ? std::string() : documents + "\\Quillbarrow";
}

}  // namespace qb::platform::win32
