#include "platform/win32/win32_clipboard.h"

#include <windows.h>

#include <charconv>
#include <cstring>

#include "common/utf16_win32.h"
#include "platform/win32/sent_messages.h"

namespace qb::platform::win32 {
namespace {

// Another program may hold the clipboard for a moment.
constexpr int kOpenAttempts = 20;
constexpr int kOpenRetryMs = 10;

// Formats whose data is not a block of memory (bitmaps, palettes, metafile handles): they
// cannot be copied as bytes and are left out of a kept copy.
bool isHandleFormat(UINT format) {
  // Private formats (their data is the owner's own handle) and GDI objects are not memory.
  return format == CF_BITMAP || format == CF_PALETTE || format == CF_METAFILEPICT ||
         format == CF_ENHMETAFILE || format == CF_DSPBITMAP || format == CF_DSPMETAFILEPICT ||
         format == CF_DSPENHMETAFILE || format == CF_OWNERDISPLAY ||
         (format >= CF_PRIVATEFIRST && format <= CF_GDIOBJLAST);
}

std::string formatName(UINT format) {
  wchar_t name[256];
  const int length = GetClipboardFormatNameW(format, name, 256);
  if (length > 0)
    return qb::win32::utf8FromUtf16(std::wstring_view(name, static_cast<std::size_t>(length)));
  return "#" + std::to_string(format);
}

// 0 for a name that is none of ours.
UINT formatOf(const std::string& name) {
  if (name.empty() || name[0] != '#')
    return RegisterClipboardFormatW(qb::win32::utf16FromUtf8(name).c_str());
  UINT format = 0;
  const auto [end, error] = std::from_chars(name.data() + 1, name.data() + name.size(), format);
  return error == std::errc() && end == name.data() + name.size() ? format : 0;
}

bool putBytes(UINT format, const void* data, std::size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
  if (!block) return false;
  void* target = GlobalLock(block);
  if (!target) {
    GlobalFree(block);
    return false;
  }
  if (size) std::memcpy(target, data, size);
  GlobalUnlock(block);
  if (!SetClipboardData(format, block)) {
    GlobalFree(block);
    return false;
  }
  return true;  // the clipboard owns the block now
}

}  // namespace

Win32Clipboard::Win32Clipboard() {
  window_ = CreateWindowExW(0, L"STATIC", L"Quillbarrow clipboard", 0, 0, 0, 0, 0, HWND_MESSAGE,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
}

Win32Clipboard::~Win32Clipboard() {
  if (window_) DestroyWindow(static_cast<HWND>(window_));
}

bool Win32Clipboard::open() {
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    if (OpenClipboard(static_cast<HWND>(window_))) return true;
    waitLettingSentMessagesIn(kOpenRetryMs);
  }
  return false;
}

std::optional<std::string> Win32Clipboard::text() {
  if (!open()) return std::nullopt;
  std::optional<std::string> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      const std::size_t units = GlobalSize(data) / sizeof(wchar_t);
      std::size_t length = 0;
      while (length < units && wide[length] != L'\0') ++length;
      text = qb::win32::utf8FromUtf16(std::wstring_view(wide, length));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool Win32Clipboard::clear() {
  if (!open()) return false;
  const bool emptied = EmptyClipboard() != FALSE;
  CloseClipboard();
  return emptied;
}

bool Win32Clipboard::setText(std::string_view text) {
  if (!open()) return false;
  EmptyClipboard();
  const std::wstring wide = qb::win32::utf16FromUtf8(text);
  bool done = putBytes(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  if (done) {
    const DWORD no = 0;
    putBytes(RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing"), &no,
             sizeof no);
    putBytes(RegisterClipboardFormatW(L"CanIncludeInClipboardHistory"), &no, sizeof no);
    putBytes(RegisterClipboardFormatW(L"CanUploadToCloudClipboard"), &no, sizeof no);
  }
  CloseClipboard();
  return done;
}

ClipboardContents Win32Clipboard::contents() {
  ClipboardContents kept;
  if (!open()) return kept;
  for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
    if (isHandleFormat(format)) continue;
    HANDLE data = GetClipboardData(format);
    if (!data) continue;
    const void* bytes = GlobalLock(data);
    if (!bytes) continue;
    kept.formats.emplace_back(formatName(format),
                              std::string(static_cast<const char*>(bytes), GlobalSize(data)));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return kept;
}

bool Win32Clipboard::restore(const ClipboardContents& contents) {
  if (!open()) return false;
  EmptyClipboard();
  bool all = true;
  for (const auto& [name, bytes] : contents.formats) {
    const UINT format = formatOf(name);
    all = format != 0 && putBytes(format, bytes.data(), bytes.size()) && all;
  }
  CloseClipboard();
  return all;
}

}  // namespace qb::platform::win32
