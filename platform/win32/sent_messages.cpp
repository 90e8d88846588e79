#include "platform/win32/sent_messages.h"

#include <windows.h>

namespace qb::platform::win32 {

void waitLettingSentMessagesIn(unsigned long ms) {
  const ULONGLONG until = GetTickCount64() + ms;
  for (ULONGLONG now = GetTickCount64(); now < until; now = GetTickCount64()) {
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(until - now), QS_SENDMESSAGE, 0);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace qb::platform::win32
