#include "platform/win32/win32_windows.h"

#include <windows.h>

#include <chrono>
#include <vector>

#include "common/utf16_win32.h"
#include "platform/win32/own_input.h"
#include "platform/win32/sent_messages.h"

namespace qb::platform::win32 {
namespace {

// How long activation waits for the window to be in front before it says it could not.
constexpr int kActivationWaitMs = 1000;

std::vector<HWND> shownTopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND window, LPARAM list) -> BOOL {
        if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

bool bringToFront(HWND window) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  // Input from this program makes it the one allowed to set the foreground.
  INPUT nudge{};
  nudge.type = INPUT_MOUSE;
  nudge.mi.dwFlags = MOUSEEVENTF_MOVE;
  nudge.mi.dwExtraInfo = ownInputInfo(0);
  SendInput(1, &nudge, sizeof(INPUT));
  if (SetForegroundWindow(window) && GetForegroundWindow() == window) return true;
  const HWND front = GetForegroundWindow();
  const DWORD frontThread = front ? GetWindowThreadProcessId(front, nullptr) : 0;
  const DWORD ownThread = GetCurrentThreadId();
  const bool attached =
      frontThread && frontThread != ownThread && AttachThreadInput(ownThread, frontThread, TRUE);
  BringWindowToTop(window);
  SetForegroundWindow(window);
  if (attached) AttachThreadInput(ownThread, frontThread, FALSE);
  const auto until =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kActivationWaitMs);
  while (GetForegroundWindow() != window && std::chrono::steady_clock::now() < until)
    waitLettingSentMessagesIn(2);
  return GetForegroundWindow() == window;
}

}  // namespace

std::string windowTitle(void* window) {
  const HWND handle = static_cast<HWND>(window);
  const int length = GetWindowTextLengthW(handle);
  if (length <= 0) return {};
  std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(handle, title.data(), length + 1);
  title.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return qb::win32::utf8FromUtf16(title);
}

std::string Win32Windows::foregroundTitle() {
  const HWND window = GetForegroundWindow();
  return window ? windowTitle(window) : std::string();
}

bool Win32Windows::activate(std::string_view title) {
  const std::vector<HWND> windows = shownTopLevelWindows();
  HWND target = nullptr;
  for (HWND w : windows)
    if (windowTitle(w) == title) {
      target = w;
      break;
    }
  if (!target)
    for (HWND w : windows)
      if (windowTitle(w).compare(0, title.size(), title) == 0) {
        target = w;
        break;
      }
  return target && bringToFront(target);
}

}  // namespace qb::platform::win32
