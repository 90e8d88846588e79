#include "probe_process.h"

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "common/utf16_win32.h"

namespace qb::win32test {

void typeUnmarked(std::uint16_t key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  // The right-hand modifiers and the navigation keys are extended keys, as a keyboard sends them.
  bool extended = false;
  for (const WORD extendedKey : {VK_RCONTROL, VK_RMENU, VK_HOME, VK_END, VK_LEFT, VK_RIGHT, VK_UP,
                                 VK_DOWN, VK_INSERT, VK_DELETE, VK_PRIOR, VK_NEXT})
    extended = extended || input.ki.wVk == extendedKey;
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
  SendInput(1, &input, sizeof input);
}

std::string ownFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return qb::win32::utf8FromUtf16(folder.substr(0, folder.find_last_of(L"\\/")));
}

ProbeProcess::ProbeProcess(std::string title) : title_(std::move(title)) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  logPath_ = qb::win32::utf8FromUtf16(temp) + "qb-probe-" + std::to_string(GetCurrentProcessId()) +
             "-" + std::to_string(GetTickCount64()) + ".log";
  std::wstring line = L"\"" + qb::win32::utf16FromUtf8(ownFolder()) + L"\\qb_win32_probe.exe\" \"" +
                      qb::win32::utf16FromUtf8(title_) + L"\" \"" +
                      qb::win32::utf16FromUtf8(logPath_) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info))
    return;
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  WaitForInputIdle(info.hProcess, 10000);
  const std::wstring wideTitle = qb::win32::utf16FromUtf8(title_);
  for (int i = 0; i < 1000 && !window_; ++i) {
    window_ = FindWindowW(L"QbProbeWindow", wideTitle.c_str());
    if (!window_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (window_) edit_ = FindWindowExW(static_cast<HWND>(window_), nullptr, L"EDIT", nullptr);
}

ProbeProcess::~ProbeProcess() {
  if (window_) PostMessageW(static_cast<HWND>(window_), WM_CLOSE, 0, 0);
  if (process_) {
    if (WaitForSingleObject(process_, 5000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
    CloseHandle(process_);
  }
  DeleteFileW(qb::win32::utf16FromUtf8(logPath_).c_str());
}

std::string ProbeProcess::text() const {
  if (!edit_) return {};
  const auto length = SendMessageW(static_cast<HWND>(edit_), WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto got = SendMessageW(static_cast<HWND>(edit_), WM_GETTEXT, text.size(),
                                reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(got));
  return qb::win32::utf8FromUtf16(text);
}

std::string ProbeProcess::log() const {
  std::ifstream in(std::filesystem::path(qb::win32::utf16FromUtf8(logPath_)), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

}  // namespace qb::win32test
