#include "ui/win32/win32_text_clipboard.h"

#include <cstring>

#include "ui/text/text_lines.h"
#include "ui/text/utf16_line.h"

namespace qb::ui {

namespace {

// Another program may hold the clipboard for a moment.
bool openClipboard(HWND owner) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (OpenClipboard(owner)) return true;
    Sleep(10);
  }
  return false;
}

}  // namespace

bool putClipboardText(HWND owner, std::string_view utf8) {
  const std::u16string units = utf16FromUtf8(withCrLf(utf8));
  const std::size_t bytes = (units.size() + 1) * sizeof(char16_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) return false;
  if (void* target = GlobalLock(block)) {
    std::memcpy(target, units.c_str(), bytes);
    GlobalUnlock(block);
  } else {
    GlobalFree(block);
    return false;
  }
  if (!openClipboard(owner)) {
    GlobalFree(block);
    return false;
  }
  EmptyClipboard();
  const bool put = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
  if (!put) GlobalFree(block);  // otherwise the clipboard owns it
  CloseClipboard();
  return put;
}

std::optional<std::string> clipboardText(HWND owner) {
  if (!openClipboard(owner)) return std::nullopt;
  std::optional<std::string> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* units = static_cast<const char16_t*>(GlobalLock(data))) {
      const std::size_t most = GlobalSize(data) / sizeof(char16_t);
      std::size_t length = 0;
      while (length < most && units[length] != u'\0') ++length;
      text = utf8FromUtf16(std::u16string_view(units, length));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace qb::ui
