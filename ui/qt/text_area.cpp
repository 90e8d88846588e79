#include "ui/qt/text_area.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <limits>

namespace qb::ui {

namespace {

QString fromBytes(std::string_view bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Clipboard text in the field's line breaks: CR LF, whatever the other program used.
std::string withCrLf(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return ui::withCrLf(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace

TextArea::TextArea(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setBackgroundRole(QPalette::Base);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void TextArea::setSource(const std::string* text) {
  lines_.setSource(text);
  if (!ownEdit_) history_.clear();
  caret_ = lines_.snap(caret_);
  anchor_ = lines_.snap(anchor_);
  column_ = -1;
  updateScrollBars();
  viewport()->update();
}

void TextArea::replaced(std::size_t from, std::size_t removed, std::size_t inserted) {
  // A change this field did not follow from the start is indexed afresh, as a new text.
  if (!lines_.replaced(from, removed, inserted)) return setSource(lines_.source());
  if (!ownEdit_) history_.clear();
  caret_ = lines_.snap(shiftedPosition(caret_, from, removed, inserted));
  anchor_ = lines_.snap(shiftedPosition(anchor_, from, removed, inserted));
  updateScrollBars();
  viewport()->update();
}

QString TextArea::lineText(std::size_t line) const {
  return fromBytes(lines_.lineText(line));
}

std::size_t TextArea::topLine() const {
  return static_cast<std::size_t>(verticalScrollBar()->value());
}

int TextArea::lineHeight() const {
  return std::max(1, fontMetrics().lineSpacing());
}

int TextArea::visibleLines() const {
  return std::max(1, viewport()->height() / lineHeight());
}

int TextArea::xOf(std::size_t offset) const {
  const std::size_t start = lines_.lineStart(lines_.lineOf(offset));
  return fontMetrics().horizontalAdvance(fromBytes(text().substr(start, offset - start)));
}

std::size_t TextArea::atX(std::size_t line, int x) const {
  const QString shown = lineText(line);
  const QFontMetrics metrics = fontMetrics();
  // The widths of the line's beginnings grow with their length: the nearest is found by halving.
  qsizetype low = 0, high = shown.size();
  while (low < high) {
    const qsizetype middle = (low + high) / 2;
    if (metrics.horizontalAdvance(shown.left(middle + 1)) <= x)
      low = middle + 1;
    else
      high = middle;
  }
  if (low < shown.size()) {
    const int before = metrics.horizontalAdvance(shown.left(low));
    const int after = metrics.horizontalAdvance(shown.left(low + 1));
    if (x - before > after - x) ++low;
  }
  while (low > 0 && low < shown.size() && shown[low].isLowSurrogate()) --low;
  return lines_.lineStart(line) + static_cast<std::size_t>(shown.left(low).toUtf8().size());
}

std::size_t TextArea::positionAt(QPoint point) const {
  const int row = point.y() < 0 ? -1 - (-point.y() - 1) / lineHeight() : point.y() / lineHeight();
  const long long wanted = static_cast<long long>(topLine()) + row;
  const std::size_t line = static_cast<std::size_t>(
      std::clamp<long long>(wanted, 0, static_cast<long long>(lines_.lineCount()) - 1));
  return atX(line, point.x() + horizontalScrollBar()->value() - 2);
}

void TextArea::select(std::size_t anchor, std::size_t caret) {
  anchor_ = lines_.snap(anchor);
  moveCaret(lines_.snap(caret), true);
}

QString TextArea::selectedText() const {
  const std::size_t from = std::min(caret_, anchor_), to = std::max(caret_, anchor_);
  return fromBytes(text().substr(from, to - from)).replace("\r\n", "\n");
}

void TextArea::moveCaret(std::size_t to, bool keepAnchor, bool keepColumn) {
  caret_ = std::min(to, lines_.size());
  if (!keepAnchor) anchor_ = caret_;
  if (!keepColumn) column_ = -1;
  ensureCaretVisible();
  restartBlink();
  viewport()->update();
}

void TextArea::ensureCaretVisible() {
  QScrollBar* down = verticalScrollBar();
  const int line = static_cast<int>(lines_.lineOf(caret_));
  if (line < down->value())
    down->setValue(line);
  else if (line >= down->value() + visibleLines())
    down->setValue(line - visibleLines() + 1);
  QScrollBar* across = horizontalScrollBar();
  const int x = xOf(caret_), margin = fontMetrics().averageCharWidth() * 4;
  const int width = viewport()->width();
  // The range comes from an estimate: a caret past it widens it just enough.
  if (x + 2 > across->maximum() + width) across->setMaximum(x + 2 - width);
  if (x < across->value())
    across->setValue(std::max(0, x - margin));
  else if (x + 2 > across->value() + width)
    across->setValue(std::min(across->maximum(), x + margin - width));
}

void TextArea::updateScrollBars() {
  QScrollBar* down = verticalScrollBar();
  const int lines = static_cast<int>(std::min<std::size_t>(lines_.lineCount(), INT32_MAX));
  down->setRange(0, std::max(0, lines - visibleLines()));
  down->setPageStep(visibleLines());
  down->setSingleStep(1);
  QScrollBar* across = horizontalScrollBar();
  // Measured from the longest line in bytes: no line's width is looked at outside the view.
  const long long widest = static_cast<long long>(lines_.widestLine()) *
                               fontMetrics().horizontalAdvance(QLatin1Char('m')) +
                           4;
  across->setRange(0, static_cast<int>(std::clamp<long long>(widest - viewport()->width(), 0,
                                                             std::numeric_limits<int>::max() / 2)));
  across->setPageStep(viewport()->width());
  across->setSingleStep(fontMetrics().averageCharWidth() * 2);
}

void TextArea::restartBlink() {
  caretShown_ = hasFocus();
  const int period = QApplication::cursorFlashTime() / 2;
  if (hasFocus() && period > 0)
    blink_.start(period, this);
  else
    blink_.stop();
}

void TextArea::timerEvent(QTimerEvent* event) {
  if (event->timerId() != blink_.timerId()) return QAbstractScrollArea::timerEvent(event);
  caretShown_ = !caretShown_;
  viewport()->update();
}

void TextArea::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QPalette& colors = palette();
  painter.fillRect(event->rect(), colors.brush(QPalette::Base));
  const QFontMetrics metrics = fontMetrics();
  const int height = lineHeight(), dx = 2 - horizontalScrollBar()->value();
  const std::size_t from = std::min(caret_, anchor_), to = std::max(caret_, anchor_);
  const std::size_t top = topLine();
  const std::string_view all = text();
  for (int row = 0; row <= visibleLines(); ++row) {
    const std::size_t line = top + static_cast<std::size_t>(row);
    if (line >= lines_.lineCount()) break;
    const std::size_t start = lines_.lineStart(line), end = lines_.lineEnd(line);
    const QString shown = fromBytes(all.substr(start, end - start));
    const int y = row * height;
    painter.setPen(colors.color(QPalette::Text));
    painter.drawText(QPoint(dx, y + metrics.ascent()), shown);
    // The selected part of the line, with a little more for its line break when the selection
    // goes on past it: drawn again over its highlight.
    if (from < to && from <= end && to > start && !(from == end && to <= end)) {
      const std::size_t a = std::max(from, start), b = std::min(to, end);
      const int left = metrics.horizontalAdvance(fromBytes(all.substr(start, a - start)));
      int right = metrics.horizontalAdvance(fromBytes(all.substr(start, b - start)));
      if (to > end && line + 1 < lines_.lineCount()) right += metrics.averageCharWidth();
      const QRect marked(dx + left, y, right - left, height);
      painter.fillRect(marked, colors.brush(QPalette::Highlight));
      painter.save();
      painter.setClipRect(marked);
      painter.setPen(colors.color(QPalette::HighlightedText));
      painter.drawText(QPoint(dx, y + metrics.ascent()), shown);
      painter.restore();
    }
  }
  if (caretShown_ && hasFocus()) {
    const std::size_t line = lines_.lineOf(caret_);
    if (line >= top && line <= top + static_cast<std::size_t>(visibleLines())) {
      const int y = static_cast<int>(line - top) * height;
      painter.fillRect(QRect(dx + xOf(caret_), y, 1, height), colors.color(QPalette::Text));
    }
  }
}

void TextArea::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollBars();
}

void TextArea::scrollContentsBy(int, int) {
  viewport()->update();
}

void TextArea::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    viewport()->setFont(font());
    updateScrollBars();
  }
}

void TextArea::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  restartBlink();
  viewport()->update();
}

void TextArea::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  restartBlink();
  viewport()->update();
}

void TextArea::keyPressEvent(QKeyEvent* event) {
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  const bool control = event->modifiers() & Qt::ControlModifier;
  const std::size_t from = std::min(caret_, anchor_), to = std::max(caret_, anchor_);
  if (event->matches(QKeySequence::SelectAll)) {
    anchor_ = 0;
    return moveCaret(lines_.size(), true);
  }
  if (event->matches(QKeySequence::Copy)) return copy();
  if (event->matches(QKeySequence::Cut)) {
    if (readOnly_ || from == to) return;
    copy();
    return edit(from, to - from, {});
  }
  if (event->matches(QKeySequence::Paste)) return readOnly_ ? void() : paste();
  if (event->matches(QKeySequence::Undo)) return undo(false);
  if (event->matches(QKeySequence::Redo)) return undo(true);
  const int visible = visibleLines();
  const std::size_t line = lines_.lineOf(caret_);
  const auto toLine = [&](long long target) {
    const long long last = static_cast<long long>(lines_.lineCount()) - 1;
    const std::size_t goal = static_cast<std::size_t>(std::clamp<long long>(target, 0, last));
    if (column_ < 0) column_ = xOf(caret_);
    const int keep = column_;
    moveCaret(atX(goal, keep), shift, true);
  };
  switch (event->key()) {
    case Qt::Key_Left:
      return moveCaret(control               ? lines_.previousWord(caret_)
                       : from < to && !shift ? from
                                             : lines_.previousPosition(caret_),
                       shift);
    case Qt::Key_Right:
      return moveCaret(control               ? lines_.nextWord(caret_)
                       : from < to && !shift ? to
                                             : lines_.nextPosition(caret_),
                       shift);
    case Qt::Key_Up:
      if (control) return verticalScrollBar()->triggerAction(QScrollBar::SliderSingleStepSub);
      return toLine(static_cast<long long>(line) - 1);
    case Qt::Key_Down:
      if (control) return verticalScrollBar()->triggerAction(QScrollBar::SliderSingleStepAdd);
      return toLine(static_cast<long long>(line) + 1);
    case Qt::Key_PageUp:
      verticalScrollBar()->setValue(verticalScrollBar()->value() - visible);
      return toLine(static_cast<long long>(line) - visible);
    case Qt::Key_PageDown:
      verticalScrollBar()->setValue(verticalScrollBar()->value() + visible);
      return toLine(static_cast<long long>(line) + visible);
    case Qt::Key_Home:
      return moveCaret(control ? 0 : lines_.lineStart(line), shift);
    case Qt::Key_End:
      return moveCaret(control ? lines_.size() : lines_.lineEnd(line), shift);
    case Qt::Key_Backspace:
      if (readOnly_) return;
      if (from < to) return edit(from, to - from, {});
      if (caret_ > 0) {
        const std::size_t back =
            control ? lines_.previousWord(caret_) : lines_.previousPosition(caret_);
        edit(back, caret_ - back, {});
      }
      return;
    case Qt::Key_Delete:
      if (readOnly_) return;
      if (from < to) return edit(from, to - from, {});
      if (caret_ < lines_.size()) {
        const std::size_t next = control ? lines_.nextWord(caret_) : lines_.nextPosition(caret_);
        edit(caret_, next - caret_, {});
      }
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (readOnly_) return event->ignore();
      return edit(from, to - from, "\r\n");
    default:
      break;
  }
  const QString typed = event->text();
  if (!readOnly_ && !typed.isEmpty() && !control && typed.at(0).isPrint()) {
    insertTyped(typed);
    return;
  }
  event->ignore();
}

void TextArea::insertTyped(const QString& typed) {
  const std::size_t from = std::min(caret_, anchor_), to = std::max(caret_, anchor_);
  edit(from, to - from, typed.toUtf8().toStdString(), true);
}

void TextArea::edit(std::size_t from, std::size_t count, std::string replacement, bool typing) {
  if (readOnly_ || !onEdit || !lines_.source()) return;
  TextChange change{from, std::string(text().substr(from, count)), replacement};
  const std::size_t caretAfter = from + replacement.size();
  const QPointer<TextArea> alive(this);
  ownEdit_ = true;
  onEdit(from, count, std::move(replacement));
  if (!alive) return;  // the change closed the window
  ownEdit_ = false;
  history_.made(std::move(change), text(), typing);
  moveCaret(caretAfter, false);
}

void TextArea::undo(bool redo) {
  if (readOnly_ || !onEdit) return;
  const std::optional<TextEdit> step = history_.step(redo, text());
  if (!step) return;
  const QPointer<TextArea> alive(this);
  ownEdit_ = true;
  onEdit(step->from, step->count, step->text);
  if (!alive) return;
  ownEdit_ = false;
  moveCaret(step->from + step->text.size(), false);
}

void TextArea::copy(bool toSelectionClipboard) const {
  if (caret_ == anchor_) return;
  QApplication::clipboard()->setText(
      selectedText(), toSelectionClipboard ? QClipboard::Selection : QClipboard::Clipboard);
}

void TextArea::paste() {
  const QString pasted = QApplication::clipboard()->text();
  if (pasted.isEmpty()) return;
  const std::size_t from = std::min(caret_, anchor_), to = std::max(caret_, anchor_);
  edit(from, to - from, withCrLf(pasted));
}

void TextArea::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton && !readOnly_ &&
      QApplication::clipboard()->supportsSelection()) {
    const QString pasted = QApplication::clipboard()->text(QClipboard::Selection);
    const std::size_t at = positionAt(event->position().toPoint());
    anchor_ = caret_ = at;
    if (!pasted.isEmpty()) edit(at, 0, withCrLf(pasted));
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  selecting_ = true;
  moveCaret(positionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void TextArea::mouseMoveEvent(QMouseEvent* event) {
  if (!selecting_ || !(event->buttons() & Qt::LeftButton)) return;
  moveCaret(positionAt(event->position().toPoint()), true);
}

void TextArea::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  selecting_ = false;
  if (QApplication::clipboard()->supportsSelection()) copy(true);
}

void TextArea::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const std::size_t at = positionAt(event->position().toPoint());
  const auto [a, b] = lines_.wordAt(at);
  anchor_ = a;
  moveCaret(b, true);
}

void TextArea::contextMenuEvent(QContextMenuEvent* event) {
  const bool selected = caret_ != anchor_;
  QMenu menu(this);
  menu.addAction(tr("&Undo"), [this] { undo(false); })
      ->setEnabled(!readOnly_ && history_.canUndo());
  menu.addAction(tr("&Redo"), [this] { undo(true); })->setEnabled(!readOnly_ && history_.canRedo());
  menu.addSeparator();
  menu.addAction(tr("Cu&t"),
                 [this] {
                   copy();
                   const std::size_t from = std::min(caret_, anchor_),
                                     to = std::max(caret_, anchor_);
                   edit(from, to - from, {});
                 })
      ->setEnabled(!readOnly_ && selected);
  menu.addAction(tr("&Copy"), [this] { copy(); })->setEnabled(selected);
  menu.addAction(tr("&Paste"), [this] { paste(); })
      ->setEnabled(!readOnly_ && !QApplication::clipboard()->text().isEmpty());
  menu.addAction(tr("Delete"),
                 [this] {
                   const std::size_t from = std::min(caret_, anchor_),
                                     to = std::max(caret_, anchor_);
                   edit(from, to - from, {});
                 })
      ->setEnabled(!readOnly_ && selected);
  menu.addSeparator();
  menu.addAction(tr("Select All"), [this] {
    anchor_ = 0;
    moveCaret(lines_.size(), true);
  });
  menu.exec(event->globalPos());
}

void TextArea::inputMethodEvent(QInputMethodEvent* event) {
  if (!readOnly_ && !event->commitString().isEmpty()) insertTyped(event->commitString());
  event->accept();
}

QVariant TextArea::inputMethodQuery(Qt::InputMethodQuery query) const {
  switch (query) {
    case Qt::ImEnabled:
      return !readOnly_;
    case Qt::ImCursorRectangle: {
      const std::size_t line = lines_.lineOf(caret_);
      const int row = static_cast<int>(line) - verticalScrollBar()->value();
      return QRect(2 - horizontalScrollBar()->value() + xOf(caret_), row * lineHeight(), 1,
                   lineHeight())
          .translated(viewport()->pos());
    }
    default:
      return QAbstractScrollArea::inputMethodQuery(query);
  }
}

}  // namespace qb::ui
