#include "platform/win32/win32_dialogs.h"

#include <windows.h>

#include "common/utf16_win32.h"

namespace qb::platform::win32 {

MessageAnswer Win32Dialogs::messageBox(std::string_view text, std::string_view title,
                                       MessageButtons buttons) {
  const Win32EventLoop::ForeignLoop keepGoing(loop_);
  // The box belongs to the window in front when it is this program's, so it stays above it;
  // on top of everything otherwise, as a message from a program without a window in front.
  HWND owner = GetForegroundWindow();
  DWORD ownerProcess = 0;
  if (owner) GetWindowThreadProcessId(owner, &ownerProcess);
  if (ownerProcess != GetCurrentProcessId()) owner = nullptr;
  const UINT style = (buttons == MessageButtons::YesNo ? MB_YESNO | MB_ICONQUESTION : MB_OK) |
                     (owner ? 0u : MB_TOPMOST | MB_SETFOREGROUND);
  const int answer = MessageBoxW(owner, qb::win32::utf16FromUtf8(text).c_str(),
                                 qb::win32::utf16FromUtf8(title).c_str(), style);
  if (buttons == MessageButtons::YesNo)
    return answer == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
  return MessageAnswer::Ok;
}

}  // namespace qb::platform::win32
