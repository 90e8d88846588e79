#pragma once
// A multi-line text field over text it does not own: it keeps only where each line starts and
// lays out just the lines in sight, so a text of a million lines shows, scrolls and edits as
// fast as a short one and costs little more than its index. Line breaks are LF or CR LF; the
// caret and the selection are byte offsets into the UTF-8 text. What the user types comes out
// as a replaced range (onEdit); the owner changes the text and says what changed.

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QString>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "ui/text/edit_history.h"
#include "ui/text/text_lines.h"

namespace qb::ui {

// No meta-object of its own (the project runs no moc): find it with dynamic_cast.
class TextArea final : public QAbstractScrollArea {
 public:
  explicit TextArea(QWidget* parent = nullptr);

  // The text shown, as a whole new text: kept by pointer, so it must outlive the field or be
  // replaced first.
  void setSource(const std::string* text);
  // The source had `removed` bytes from `from` replaced by `inserted` new ones.
  void replaced(std::size_t from, std::size_t removed, std::size_t inserted);

  bool isReadOnly() const { return readOnly_; }
  void setReadOnly(bool on) { readOnly_ = on; }

  // The text shown, as last given.
  const std::string* source() const { return lines_.source(); }
  std::size_t lineCount() const { return lines_.lineCount(); }
  QString lineText(std::size_t line) const;
  // The first line in sight.
  std::size_t topLine() const;
  std::size_t caret() const { return caret_; }
  std::size_t anchor() const { return anchor_; }
  // Selects from `anchor` to `caret` (the caret alone when equal) and scrolls to the caret.
  void select(std::size_t anchor, std::size_t caret);
  QString selectedText() const;

  // The user's edit: `count` bytes from `from` become `text`. Not called for read-only text.
  std::function<void(std::size_t from, std::size_t count, std::string text)> onEdit;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  void timerEvent(QTimerEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  std::string_view text() const { return lines_.text(); }
  // The x of a position within its line, in pixels from the line's start.
  int xOf(std::size_t offset) const;
  // The position of a line nearest to an x.
  std::size_t atX(std::size_t line, int x) const;
  std::size_t positionAt(QPoint viewportPoint) const;
  int visibleLines() const;
  int lineHeight() const;

  void moveCaret(std::size_t to, bool keepAnchor, bool keepColumn = false);
  void ensureCaretVisible();
  void updateScrollBars();
  void restartBlink();
  // Replaces the selection with `text` (CR LF line breaks), through the owner.
  void edit(std::size_t from, std::size_t count, std::string text, bool typing = false);
  void insertTyped(const QString& typed);
  void copy(bool toSelectionClipboard = false) const;
  void paste();
  void undo(bool redo);

  TextLines lines_;
  std::size_t caret_ = 0, anchor_ = 0;
  int column_ = -1;  // the x Up and Down keep, or -1
  bool readOnly_ = false;
  bool selecting_ = false;  // a drag of the mouse selects
  bool caretShown_ = false;
  bool ownEdit_ = false;  // the change being told is this field's own
  QBasicTimer blink_;
  EditHistory history_;
};

}  // namespace qb::ui
