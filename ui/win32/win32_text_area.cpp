#include "ui/win32/win32_text_area.h"

#include "common/utf16_win32.h"

namespace qb::ui {

// An interim multi-line field on the system's edit control: it holds a copy of the text and
// reports every edit as the whole text replaced.
Win32TextArea::Win32TextArea(HWND parent, int id) {
  window_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN |
                                WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                            0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr);
  SendMessageW(window_, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
  SetPropW(window_, L"QuillbarrowTextArea", this);
}

Win32TextArea::~Win32TextArea() {
  RemovePropW(window_, L"QuillbarrowTextArea");
  DestroyWindow(window_);
}

Win32TextArea* Win32TextArea::fromWindow(HWND window) {
  return window ? static_cast<Win32TextArea*>(GetPropW(window, L"QuillbarrowTextArea")) : nullptr;
}

void Win32TextArea::setReadOnly(bool on) {
  readOnly_ = on;
  SendMessageW(window_, EM_SETREADONLY, on, 0);
}

void Win32TextArea::setSource(const std::string* text) {
  source_ = text;
  showing_ = true;
  SetWindowTextW(window_, qb::win32::utf16FromUtf8(text ? *text : std::string()).c_str());
  showing_ = false;
}

void Win32TextArea::replaced(std::size_t, std::size_t, std::size_t) {
  if (!editing_) setSource(source_);
}

void Win32TextArea::select(std::size_t anchor, std::size_t caret) {
  (void)anchor;
  (void)caret;
}

void Win32TextArea::changed() {
  if (showing_ || !onEdit || !source_) return;
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window_)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(window_, text.data(), static_cast<int>(text.size()))));
  editing_ = true;
  onEdit(0, source_->size(), qb::win32::utf8FromUtf16(text));
  editing_ = false;
}

}  // namespace qb::ui
