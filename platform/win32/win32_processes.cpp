#include "platform/win32/win32_processes.h"

#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include "common/utf16_win32.h"
#include "platform/win32/system_error_text.h"

namespace qb::platform::win32 {
namespace {

Result<> createProcess(std::wstring commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  // CreateProcessW may write into the command line, so it gets a copy of its own.
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return fail(systemErrorText(GetLastError()));
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return {};
}

// ShellExecuteW answers a number above 32 for success.
Result<> shellOpen(const std::wstring& file, const std::wstring& parameters) {
  const auto answer = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", file.c_str(),
                    parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL));
  if (answer > 32) return {};
  return fail(systemErrorText(static_cast<unsigned long>(
      answer == SE_ERR_NOASSOC ? ERROR_NO_ASSOCIATION : GetLastError())));
}

std::wstring trimmed(std::wstring text) {
  const auto first = text.find_first_not_of(L" \t\r\n");
  if (first == std::wstring::npos) return {};
  const auto last = text.find_last_not_of(L" \t\r\n");
  return text.substr(first, last - first + 1);
}

}  // namespace

Result<> Win32Processes::start(std::string_view commandLine) {
  const std::wstring line = trimmed(qb::win32::utf16FromUtf8(commandLine));
  const auto cannotRun = [&](const std::string& why) {
    return fail("Cannot run \"" + std::string(commandLine) + "\": " + why);
  };
  if (line.empty()) return cannotRun("the command line names no program");
  const auto started = createProcess(line);
  if (started) return {};
  // A document or a folder, named alone (quoted or not), opens with its program.
  std::wstring file = line;
  if (file.size() >= 2 && file.front() == L'"' && file.back() == L'"')
    file = file.substr(1, file.size() - 2);
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (const auto opened = shellOpen(file, L""); !opened) return cannotRun(opened.message());
    return {};
  }
  return cannotRun(started.message());
}

bool Win32Shell::openUrl(std::string_view url) {
  return shellOpen(qb::win32::utf16FromUtf8(url), L"").ok();
}

Result<> Win32Shell::openTextEditor(std::string_view path) {
  std::wstring line = L"notepad.exe \"" + qb::win32::utf16FromUtf8(path) + L"\"";
  if (const auto started = createProcess(std::move(line)); !started)
    return fail("No text editor could be started for " + std::string(path) + ": " +
                started.message());
  return {};
}

}  // namespace qb::platform::win32
