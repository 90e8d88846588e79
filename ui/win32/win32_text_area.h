#pragma once
// A multi-line text field over text it does not own; what the user types comes out as a
// replaced range (onEdit), and the owner says what changed.

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

namespace qb::ui {

class Win32TextArea {
 public:
  Win32TextArea(HWND parent, int controlId);
  ~Win32TextArea();
  Win32TextArea(const Win32TextArea&) = delete;
  Win32TextArea& operator=(const Win32TextArea&) = delete;

  HWND hwnd() const { return window_; }
  static Win32TextArea* fromWindow(HWND window);
  void setSource(const std::string* text);
  void replaced(std::size_t from, std::size_t removed, std::size_t inserted);
  bool isReadOnly() const { return readOnly_; }
  void setReadOnly(bool on);
  void setFont(HFONT font) {
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  void select(std::size_t anchor, std::size_t caret);
  // The edit control reported a change (EN_CHANGE).
  void changed();

  std::function<void(std::size_t from, std::size_t count, std::string text)> onEdit;
  std::function<void()> onDoubleClick;

 private:
  HWND window_ = nullptr;
  const std::string* source_ = nullptr;
  bool readOnly_ = false;
  bool showing_ = false, editing_ = false;
};

}  // namespace qb::ui
