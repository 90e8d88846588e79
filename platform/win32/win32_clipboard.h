#pragma once
// The clipboard: Unicode text in and out, and everything it holds kept and put back around a
// paste. It is owned through a message-only window of its own, as SetClipboardData requires.

#include "platform/shell.h"

namespace qb::platform::win32 {

class Win32Clipboard final : public Clipboard {
 public:
  Win32Clipboard();
  ~Win32Clipboard() override;
  Win32Clipboard(const Win32Clipboard&) = delete;
  Win32Clipboard& operator=(const Win32Clipboard&) = delete;

  std::optional<std::string> text() override;
  bool clear() override;
  // Marked so that clipboard histories and cloud clipboards leave it out.
  bool setText(std::string_view text) override;
  ClipboardContents contents() override;
  bool restore(const ClipboardContents& contents) override;

 private:
  bool open();
  void* window_ = nullptr;
};

}  // namespace qb::platform::win32
