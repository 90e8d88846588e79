#pragma once
// The multi-line text field of the Win32 views: a window of its own over text it does not own.
// It keeps only where lines start (ui/text) and draws just the lines in sight with GDI, so a
// macro of a million lines shows, scrolls and edits as fast as a short one. The caret and the
// selection are byte offsets into the UTF-8 text; what the user types comes out as a replaced
// range (onEdit), and the owner changes the text and says what changed (replaced).

#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "ui/text/edit_history.h"
#include "ui/text/text_lines.h"

namespace qb::ui {

class Win32TextArea {
 public:
  // A child window of `parent` with the given control id: WS_CHILD|WS_VISIBLE|WS_TABSTOP, both
  // scroll bars, a sunken client edge.
  Win32TextArea(HWND parent, int controlId);
  ~Win32TextArea();  // destroys the window
  Win32TextArea(const Win32TextArea&) = delete;
  Win32TextArea& operator=(const Win32TextArea&) = delete;
  HWND hwnd() const { return window_; }
  // Finds the area of a window it made, or null.
  static Win32TextArea* fromWindow(HWND window);

  // The text shown, as a whole new text: kept by pointer, so it must outlive the field or be
  // replaced first.
  void setSource(const std::string* text);
  // The source had `removed` bytes from `from` replaced by `inserted` new ones.
  void replaced(std::size_t from, std::size_t removed, std::size_t inserted);
  bool isReadOnly() const { return readOnly_; }
  void setReadOnly(bool on);
  // Not owned (WM_SETFONT does the same); lays the text out again.
  void setFont(HFONT font);
  // The text shown, as last given.
  const std::string* source() const { return lines_.source(); }
  std::size_t lineCount() const { return lines_.lineCount(); }
  // The first line in sight.
  std::size_t topLine() const { return top_; }
  std::size_t caret() const { return caret_; }
  std::size_t anchor() const { return anchor_; }
  // Selects from `anchor` to `caret` (the caret alone when equal) and scrolls to the caret.
  void select(std::size_t anchor, std::size_t caret);
  // The selected bytes as they are in the text, CR LF and all.
  std::string selectedText() const;

  // The user's edit: `count` bytes from `from` become `text`. Not called for read-only text.
  std::function<void(std::size_t from, std::size_t count, std::string text)> onEdit;
  // After a double click has selected the word under the pointer.
  std::function<void()> onDoubleClick;

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  std::string_view text() const { return lines_.text(); }

  // Layout: rows of one line height from the top line, x from the text's left edge.
  int lineHeight() const { return lineHeight_; }
  int visibleLines() const;
  int clientWidth() const;
  // The x of a position within its line, in pixels from the line's start.
  int xOf(std::size_t offset) const;
  // The position of a line nearest to an x.
  std::size_t atX(std::size_t line, int x) const;
  std::size_t positionAt(POINT client) const;

  void paint(HDC dc, const RECT& area) const;
  void measureFont();
  void updateScrollBars();
  // What the scroll bars are to show; shown when the window paints next.
  void setBar(int which, int max, int page, int pos);
  void showBars();
  void scrollTo(long long line);
  void scrollAcross(long long x);
  void onScroll(int bar, int request);
  void onWheel(int delta, bool across);
  void createCaret();
  void placeCaret();
  void moveCaret(std::size_t to, bool keepAnchor, bool keepColumn = false);
  void ensureCaretVisible();
  bool onKey(WPARAM key);
  void onChar(char16_t unit);
  void showMenu(POINT screen);

  // Replaces `count` bytes from `from` with `text` (CR LF line breaks), through the owner.
  // False when the field went away meanwhile.
  bool edit(std::size_t from, std::size_t count, std::string text, bool typing = false);
  void editSelection(std::string text, bool typing = false);
  void undo(bool redo);
  void copy() const;
  void cut();
  void paste();
  void selectAll();

  HWND window_ = nullptr;
  // False once the field is gone: an owner's onEdit may destroy it.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  TextLines lines_;
  EditHistory history_;
  std::size_t caret_ = 0, anchor_ = 0;
  std::size_t top_ = 0;  // the first line in sight
  int left_ = 0;         // pixels scrolled across
  int column_ = -1;      // the x Up and Down keep, or -1
  HFONT font_ = nullptr;
  int lineHeight_ = 16, charWidth_ = 7, widestChar_ = 8;
  struct ScrollBar {
    int max = -1, page = -1, pos = -1;
    bool operator==(const ScrollBar&) const = default;
  };
  ScrollBar down_, across_;               // what the bars are to show
  ScrollBar shownDown_, shownAcross_;     // what they were last given
  int wheelDelta_ = 0, wheelAcross_ = 0;  // what is left of wheel turns less than a notch
  char16_t highSurrogate_ = 0;            // the first half of a typed pair
  bool readOnly_ = false;
  bool selecting_ = false;  // a drag of the mouse selects
  bool ownEdit_ = false;    // the change being told is this field's own
};

}  // namespace qb::ui
