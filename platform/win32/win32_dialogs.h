#pragma once
// Message boxes and questions through MessageBoxW. The box runs the system's own loop; the
// event loop's tasks and timers go on meanwhile (a play, the recorder's samplers).

#include "platform/dialogs.h"
#include "platform/win32/win32_event_loop.h"

namespace qb::platform::win32 {

class Win32Dialogs final : public Dialogs {
 public:
  explicit Win32Dialogs(Win32EventLoop& loop) : loop_(loop) {}
  MessageAnswer messageBox(std::string_view text, std::string_view title,
                           MessageButtons buttons) override;

 private:
  Win32EventLoop& loop_;
};

}  // namespace qb::platform::win32
