#include "ui/win32/win32_text_area.h"

#include <imm.h>

#include <algorithm>
#include <climits>
#include <limits>
#include <vector>

#include "ui/text/utf16_line.h"
#include "ui/win32/win32_text_clipboard.h"

namespace qb::ui {

namespace {

constexpr wchar_t kClassName[] = L"QuillbarrowTextArea";
constexpr int kMargin = 2;  // pixels between the edge and the text

const wchar_t* wide(const std::u16string& units) {
  return reinterpret_cast<const wchar_t*>(units.c_str());
}

// Once: the procedure is the same for every area.
ATOM registerClass(WNDPROC procedure) {
  static const ATOM atom = [procedure] {
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.style = CS_DBLCLKS;
    type.lpfnWndProc = procedure;
    type.hInstance = GetModuleHandleW(nullptr);
    type.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
    type.lpszClassName = kClassName;
    return RegisterClassExW(&type);
  }();
  return atom;
}

bool keyDown(int key) {
  return (GetKeyState(key) & 0x8000) != 0;
}

// A device context of the window with the field's font chosen, for measuring.
class FontDc {
 public:
  FontDc(HWND window, HFONT font) : window_(window), dc_(GetDC(window)) {
    old_ = SelectObject(dc_, font);
  }
  ~FontDc() {
    SelectObject(dc_, old_);
    ReleaseDC(window_, dc_);
  }
  FontDc(const FontDc&) = delete;
  FontDc& operator=(const FontDc&) = delete;
  operator HDC() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
  HGDIOBJ old_;
};

int widthOf(HDC dc, const std::u16string& units, std::size_t count) {
  if (count == 0) return 0;
  SIZE size{};
  GetTextExtentPoint32W(dc, wide(units), static_cast<int>(count), &size);
  return size.cx;
}

// The menu's commands.
enum Command : UINT { kUndo = 1, kRedo, kCut, kCopy, kPaste, kDelete, kSelectAll };

}  // namespace

Win32TextArea::Win32TextArea(HWND parent, int controlId) {
  registerClass(&windowProc);
  window_ = CreateWindowExW(
      WS_EX_CLIENTEDGE, kClassName, L"",
      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL, 0, 0, 0, 0,
      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), GetModuleHandleW(nullptr),
      nullptr);
  if (!window_) return;
  // Until here the window's messages went to DefWindowProcW: it had no area yet.
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  lines_.setSource(nullptr);
  measureFont();
  updateScrollBars();
}

Win32TextArea::~Win32TextArea() {
  *alive_ = false;
  if (window_) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

Win32TextArea* Win32TextArea::fromWindow(HWND window) {
  if (!window || GetClassLongPtrW(window, GCW_ATOM) != registerClass(&windowProc)) return nullptr;
  // Class atoms are shared between programs: a window of another's is none of ours.
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return nullptr;
  return reinterpret_cast<Win32TextArea*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK Win32TextArea::windowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  Win32TextArea* area = fromWindow(window);
  if (!area) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {  // the parent went first: the area outlives its window
    area->window_ = nullptr;
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return area->handle(message, wParam, lParam);
}

// ---- The text and what changes it ----

void Win32TextArea::setSource(const std::string* text) {
  lines_.setSource(text);
  if (!ownEdit_) history_.clear();
  caret_ = lines_.snap(caret_);
  anchor_ = lines_.snap(anchor_);
  column_ = -1;
  updateScrollBars();
  placeCaret();
  if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void Win32TextArea::replaced(std::size_t from, std::size_t removed, std::size_t inserted) {
  // A change this field did not follow from the start is indexed afresh, as a new text.
  if (!lines_.replaced(from, removed, inserted)) return setSource(lines_.source());
  if (!ownEdit_) history_.clear();
  caret_ = lines_.snap(shiftedPosition(caret_, from, removed, inserted));
  anchor_ = lines_.snap(shiftedPosition(anchor_, from, removed, inserted));
  updateScrollBars();
  placeCaret();
  if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void Win32TextArea::setReadOnly(bool on) {
  readOnly_ = on;
  if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void Win32TextArea::setFont(HFONT font) {
  font_ = font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  measureFont();
  column_ = -1;
  updateScrollBars();
  if (window_ && GetFocus() == window_) {  // the caret takes the new line height
    DestroyCaret();
    createCaret();
    placeCaret();
    ShowCaret(window_);
  }
  if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void Win32TextArea::select(std::size_t anchor, std::size_t caret) {
  anchor_ = lines_.snap(anchor);
  moveCaret(lines_.snap(caret), true);
}

std::string Win32TextArea::selectedText() const {
  const std::size_t from = std::min(caret_, anchor_), to = std::max(caret_, anchor_);
  return std::string(text().substr(from, to - from));
}

bool Win32TextArea::edit(std::size_t from, std::size_t count, std::string replacement,
                         bool typing) {
  if (readOnly_ || !onEdit || !lines_.source()) return true;
  TextChange change{from, std::string(text().substr(from, count)), replacement};
  const std::size_t caretAfter = from + replacement.size();
  const std::shared_ptr<bool> alive = alive_;
  ownEdit_ = true;
  onEdit(from, count, std::move(replacement));
  if (!*alive) return false;  // the change closed the window
  ownEdit_ = false;
  history_.made(std::move(change), text(), typing);
  moveCaret(caretAfter, false);
  return true;
}

void Win32TextArea::editSelection(std::string replacement, bool typing) {
  const std::size_t from = std::min(caret_, anchor_), to = std::max(caret_, anchor_);
  edit(from, to - from, std::move(replacement), typing);
}

void Win32TextArea::undo(bool redo) {
  if (readOnly_ || !onEdit) return;
  const std::optional<TextEdit> step = history_.step(redo, text());
  if (!step) return;
  const std::shared_ptr<bool> alive = alive_;
  ownEdit_ = true;
  onEdit(step->from, step->count, step->text);
  if (!*alive) return;
  ownEdit_ = false;
  moveCaret(step->from + step->text.size(), false);
}

void Win32TextArea::copy() const {
  if (caret_ != anchor_) putClipboardText(window_, selectedText());
}

void Win32TextArea::cut() {
  if (readOnly_ || caret_ == anchor_) return;
  copy();
  editSelection({});
}

void Win32TextArea::paste() {
  if (readOnly_) return;
  const std::optional<std::string> pasted = clipboardText(window_);
  if (pasted && !pasted->empty()) editSelection(withCrLf(*pasted));
}

void Win32TextArea::selectAll() {
  anchor_ = 0;
  moveCaret(lines_.size(), true);
}

// ---- Layout ----

void Win32TextArea::measureFont() {
  if (!window_) return;
  FontDc dc(window_, font_);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  lineHeight_ = std::max<int>(1, metrics.tmHeight + metrics.tmExternalLeading);
  charWidth_ = std::max<int>(1, metrics.tmAveCharWidth);
  SIZE m{};
  GetTextExtentPoint32W(dc, L"m", 1, &m);
  widestChar_ = std::max<int>(1, m.cx);
}

int Win32TextArea::visibleLines() const {
  RECT client{};
  if (window_) GetClientRect(window_, &client);
  return std::max(1, static_cast<int>(client.bottom) / lineHeight_);
}

int Win32TextArea::clientWidth() const {
  RECT client{};
  if (window_) GetClientRect(window_, &client);
  return client.right;
}

int Win32TextArea::xOf(std::size_t offset) const {
  const std::size_t start = lines_.lineStart(lines_.lineOf(offset));
  const Utf16Line shown(text().substr(start, lines_.lineEnd(lines_.lineOf(offset)) - start));
  FontDc dc(window_, font_);
  return widthOf(dc, shown.units(), shown.unitOf(offset - start));
}

std::size_t Win32TextArea::atX(std::size_t line, int x) const {
  const Utf16Line shown(lines_.lineText(line));
  std::size_t unit = 0;
  if (shown.size() > 0 && x > 0) {
    // The width of every beginning of the line at once; the nearest boundary wins.
    std::vector<INT> ends(shown.size());
    SIZE size{};
    FontDc dc(window_, font_);
    GetTextExtentExPointW(dc, wide(shown.units()), static_cast<int>(shown.size()), 0, nullptr,
                          ends.data(), &size);
    const auto after = std::upper_bound(ends.begin(), ends.end(), x);
    unit = static_cast<std::size_t>(after - ends.begin());  // the boundaries before x
    if (unit < shown.size()) {
      const int before = unit == 0 ? 0 : ends[unit - 1];
      if (x - before > ends[unit] - x) ++unit;
    }
  }
  return lines_.snap(lines_.lineStart(line) + shown.byteOf(std::min(unit, shown.size())));
}

std::size_t Win32TextArea::positionAt(POINT point) const {
  const int row = point.y < 0 ? -1 - (-point.y - 1) / lineHeight_ : point.y / lineHeight_;
  const long long wanted = static_cast<long long>(top_) + row;
  const std::size_t line = static_cast<std::size_t>(
      std::clamp<long long>(wanted, 0, static_cast<long long>(lines_.lineCount()) - 1));
  return atX(line, point.x + left_ - kMargin);
}

void Win32TextArea::setBar(int which, int max, int page, int pos) {
  (which == SB_VERT ? down_ : across_) = ScrollBar{max, page, pos};
  if (window_ && (down_ != shownDown_ || across_ != shownAcross_))
    InvalidateRect(window_, nullptr, FALSE);
}

void Win32TextArea::showBars() {
  // Each change redraws the bar at once (under Wine through the X server): only real ones, and
  // once for all the keys handled since the last painting.
  for (const int which : {SB_VERT, SB_HORZ}) {
    const ScrollBar& bar = which == SB_VERT ? down_ : across_;
    ScrollBar& shown = which == SB_VERT ? shownDown_ : shownAcross_;
    if (bar == shown) continue;
    shown = bar;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMax = bar.max;
    info.nPage = static_cast<UINT>(bar.page);
    info.nPos = bar.pos;
    SetScrollInfo(window_, which, &info, TRUE);
  }
}

void Win32TextArea::updateScrollBars() {
  if (!window_) return;
  const int visible = visibleLines();
  const std::size_t most = lines_.lineCount() > static_cast<std::size_t>(visible)
                               ? lines_.lineCount() - static_cast<std::size_t>(visible)
                               : 0;
  top_ = std::min(top_, most);
  setBar(SB_VERT,
         static_cast<int>(
             std::min<std::size_t>(lines_.lineCount() - 1, std::numeric_limits<int>::max() - 1)),
         visible, static_cast<int>(top_));
  // Measured from the longest line in bytes: no line's width is looked at outside the view.
  const long long widest =
      static_cast<long long>(lines_.widestLine()) * widestChar_ + 2 * kMargin + charWidth_;
  const int width = std::max(1, clientWidth());
  // In steps of a third of the view, so typing along the longest line seldom changes it.
  const long long step = std::max(charWidth_ * 4, width / 3);
  const int across =
      static_cast<int>(std::min<long long>((widest + step - 1) / step * step, INT_MAX / 2));
  left_ = std::clamp(left_, 0, std::max(0, across - width + 1));
  setBar(SB_HORZ, across, width, left_);
}

void Win32TextArea::scrollTo(long long line) {
  const long long visible = visibleLines();
  const long long most = std::max(0LL, static_cast<long long>(lines_.lineCount()) - visible);
  const std::size_t top = static_cast<std::size_t>(std::clamp(line, 0LL, most));
  if (top == top_) return;
  top_ = top;
  setBar(SB_VERT, down_.max, down_.page, static_cast<int>(top_));
  placeCaret();
  InvalidateRect(window_, nullptr, FALSE);
}

void Win32TextArea::scrollAcross(long long x) {
  const long long most = std::max(0LL, static_cast<long long>(across_.max) - across_.page + 1);
  const int left = static_cast<int>(std::clamp(x, 0LL, most));
  if (left == left_) return;
  left_ = left;
  setBar(SB_HORZ, across_.max, across_.page, left_);
  placeCaret();
  InvalidateRect(window_, nullptr, FALSE);
}

void Win32TextArea::onScroll(int bar, int request) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;  // the 32-bit track position, not the message's 16 bits
  GetScrollInfo(window_, bar, &info);
  const bool down = bar == SB_VERT;
  const long long now = down ? static_cast<long long>(top_) : left_;
  const long long step = down ? 1 : charWidth_ * 2;
  const long long page = down ? visibleLines() : static_cast<long long>(info.nPage);
  long long to = now;
  switch (request) {
    case SB_LINEUP:
      to = now - step;
      break;
    case SB_LINEDOWN:
      to = now + step;
      break;
    case SB_PAGEUP:
      to = now - page;
      break;
    case SB_PAGEDOWN:
      to = now + page;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      to = info.nTrackPos;
      break;
    case SB_TOP:
      to = 0;
      break;
    case SB_BOTTOM:
      to = std::numeric_limits<int>::max();
      break;
    default:
      return;
  }
  down ? scrollTo(to) : scrollAcross(to);
}

void Win32TextArea::onWheel(int delta, bool across) {
  int& kept = across ? wheelAcross_ : wheelDelta_;
  kept += delta;
  const int notches = kept / WHEEL_DELTA;
  if (notches == 0) return;
  kept -= notches * WHEEL_DELTA;
  if (across) return scrollAcross(left_ + static_cast<long long>(notches) * charWidth_ * 4);
  UINT perNotch = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
  const long long lines = perNotch == WHEEL_PAGESCROLL ? visibleLines() : perNotch;
  scrollTo(static_cast<long long>(top_) + notches * lines);  // turned towards the user: down
}

// ---- The caret ----

void Win32TextArea::createCaret() {
  DWORD width = 1;  // as wide as the user set carets to be
  SystemParametersInfoW(SPI_GETCARETWIDTH, 0, &width, 0);
  CreateCaret(window_, nullptr, static_cast<int>(std::max<DWORD>(1, width)), lineHeight_);
}

void Win32TextArea::placeCaret() {
  if (!window_ || GetFocus() != window_) return;
  const std::size_t line = lines_.lineOf(caret_);
  const long long row = static_cast<long long>(line) - static_cast<long long>(top_);
  if (row < 0 || row > visibleLines()) {
    SetCaretPos(-1000, -1000);  // out of sight, still blinking there for when it comes back
    return;
  }
  const int x = kMargin - left_ + xOf(caret_), y = static_cast<int>(row) * lineHeight_;
  SetCaretPos(x, y);
  // An input method's window opens at the caret.
  if (HIMC context = ImmGetContext(window_)) {
    COMPOSITIONFORM form{};
    form.dwStyle = CFS_POINT;
    form.ptCurrentPos = POINT{x, y};
    ImmSetCompositionWindow(context, &form);
    ImmReleaseContext(window_, context);
  }
}

void Win32TextArea::moveCaret(std::size_t to, bool keepAnchor, bool keepColumn) {
  caret_ = std::min(to, lines_.size());
  if (!keepAnchor) anchor_ = caret_;
  if (!keepColumn) column_ = -1;
  ensureCaretVisible();
  placeCaret();
  if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void Win32TextArea::ensureCaretVisible() {
  if (!window_) return;
  const std::size_t line = lines_.lineOf(caret_);
  const std::size_t visible = static_cast<std::size_t>(visibleLines());
  if (line < top_)
    scrollTo(static_cast<long long>(line));
  else if (line >= top_ + visible)
    scrollTo(static_cast<long long>(line - visible + 1));
  // Past an edge the view jumps a third of its width, as in Windows' own edit fields: fewer
  // scrolls while typing along a long line.
  const int width = clientWidth(), x = xOf(caret_);
  const int margin = std::max(charWidth_ * 4, width / 3);
  // The range comes from an estimate: a caret past it widens it just enough.
  if (x + 2 * kMargin > across_.max)
    setBar(SB_HORZ, x + 2 * kMargin + margin, across_.page, across_.pos);
  if (x < left_)
    scrollAcross(std::max(0, x - margin));
  else if (x + kMargin * 2 > left_ + width)
    scrollAcross(static_cast<long long>(x) + margin - width);
}

// ---- Painting ----

void Win32TextArea::paint(HDC dc, const RECT& area) const {
  const bool enabled = IsWindowEnabled(window_);
  const COLORREF base = GetSysColor(enabled ? COLOR_WINDOW : COLOR_BTNFACE);
  const COLORREF ink = GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
  SetBkColor(dc, base);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
  const HGDIOBJ oldFont = SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  const int dx = kMargin - left_;
  const std::size_t from = std::min(caret_, anchor_), to = std::max(caret_, anchor_);
  const std::string_view all = text();
  const int rows = static_cast<int>(area.bottom) / lineHeight_;
  for (int row = static_cast<int>(area.top) / lineHeight_; row <= rows; ++row) {
    const std::size_t line = top_ + static_cast<std::size_t>(row);
    if (line >= lines_.lineCount()) break;
    const std::size_t start = lines_.lineStart(line), end = lines_.lineEnd(line);
    const Utf16Line shown(all.substr(start, end - start));
    const int y = row * lineHeight_;
    const int count = static_cast<int>(shown.size());
    SetTextColor(dc, ink);
    ExtTextOutW(dc, dx, y, 0, nullptr, wide(shown.units()), static_cast<UINT>(count), nullptr);
    // The selected part of the line, with a little more for its line break when the selection
    // goes on past it: drawn again, clipped to its highlight.
    if (from < to && from <= end && to > start && !(from == end && to <= end)) {
      const std::size_t a = std::max(from, start), b = std::min(to, end);
      const int left = widthOf(dc, shown.units(), shown.unitOf(a - start));
      int right = widthOf(dc, shown.units(), shown.unitOf(b - start));
      if (to > end && line + 1 < lines_.lineCount()) right += charWidth_;
      const RECT marked{dx + left, y, dx + right, y + lineHeight_};
      SetBkMode(dc, OPAQUE);
      SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
      ExtTextOutW(dc, dx, y, ETO_OPAQUE | ETO_CLIPPED, &marked, wide(shown.units()),
                  static_cast<UINT>(count), nullptr);
      SetBkMode(dc, TRANSPARENT);
    }
  }
  SelectObject(dc, oldFont);
}

// ---- Input ----

bool Win32TextArea::onKey(WPARAM key) {
  const bool shift = keyDown(VK_SHIFT), control = keyDown(VK_CONTROL), alt = keyDown(VK_MENU);
  const std::size_t from = std::min(caret_, anchor_), to = std::max(caret_, anchor_);
  if (control && !alt) {
    switch (key) {
      case 'A':
        selectAll();
        return true;
      case 'C':
        copy();
        return true;
      case 'X':
        cut();
        return true;
      case 'V':
        paste();
        return true;
      case 'Z':
        undo(shift);
        return true;
      case 'Y':
        undo(true);
        return true;
      case VK_INSERT:
        copy();
        return true;
      default:
        break;
    }
  }
  if (shift && !control && key == VK_INSERT) return paste(), true;
  if (shift && !control && key == VK_DELETE) return cut(), true;
  const long long visible = visibleLines();
  const std::size_t line = lines_.lineOf(caret_);
  const auto toLine = [&](long long target) {
    const long long last = static_cast<long long>(lines_.lineCount()) - 1;
    const std::size_t goal = static_cast<std::size_t>(std::clamp<long long>(target, 0, last));
    if (column_ < 0) column_ = xOf(caret_);
    const int keep = column_;
    moveCaret(atX(goal, keep), shift, true);
  };
  switch (key) {
    case VK_LEFT:
      moveCaret(control               ? lines_.previousWord(caret_)
                : from < to && !shift ? from
                                      : lines_.previousPosition(caret_),
                shift);
      return true;
    case VK_RIGHT:
      moveCaret(control               ? lines_.nextWord(caret_)
                : from < to && !shift ? to
                                      : lines_.nextPosition(caret_),
                shift);
      return true;
    case VK_UP:
      if (control) return scrollTo(static_cast<long long>(top_) - 1), true;
      toLine(static_cast<long long>(line) - 1);
      return true;
    case VK_DOWN:
      if (control) return scrollTo(static_cast<long long>(top_) + 1), true;
      toLine(static_cast<long long>(line) + 1);
      return true;
    case VK_PRIOR:
      scrollTo(static_cast<long long>(top_) - visible);
      toLine(static_cast<long long>(line) - visible);
      return true;
    case VK_NEXT:
      scrollTo(static_cast<long long>(top_) + visible);
      toLine(static_cast<long long>(line) + visible);
      return true;
    case VK_HOME:
      moveCaret(control ? 0 : lines_.lineStart(line), shift);
      return true;
    case VK_END:
      moveCaret(control ? lines_.size() : lines_.lineEnd(line), shift);
      return true;
    case VK_BACK:
      if (readOnly_) return true;
      if (from < to) return editSelection({}), true;
      if (caret_ > 0) {
        const std::size_t back =
            control ? lines_.previousWord(caret_) : lines_.previousPosition(caret_);
        edit(back, caret_ - back, {});
      }
      return true;
    case VK_DELETE:
      if (readOnly_) return true;
      if (from < to) return editSelection({}), true;
      if (caret_ < lines_.size()) {
        const std::size_t next = control ? lines_.nextWord(caret_) : lines_.nextPosition(caret_);
        edit(caret_, next - caret_, {});
      }
      return true;
    case VK_RETURN:
      if (readOnly_) return false;
      editSelection("\r\n");
      return true;
    case VK_TAB: {
      // Tab moves on to the next field, as the Qt field and a dialog do; this is for windows
      // that run no dialog manager.
      if (control || alt) return false;
      HWND root = GetAncestor(window_, GA_ROOT);
      if (HWND next = GetNextDlgTabItem(root, window_, shift); next && next != window_)
        SetFocus(next);
      return true;
    }
    default:
      return false;
  }
}

void Win32TextArea::onChar(char16_t unit) {
  if (unit >= 0xD800 && unit <= 0xDBFF) {  // the first half of a pair: wait for the second
    highSurrogate_ = unit;
    return;
  }
  std::u16string typed;
  if (unit >= 0xDC00 && unit <= 0xDFFF) {
    if (!highSurrogate_) return;
    typed = {highSurrogate_, unit};
  } else {
    typed = std::u16string(1, unit);
  }
  highSurrogate_ = 0;
  // Control characters come with the keys handled as keys (Enter, Backspace, Tab, Ctrl+letter).
  if (readOnly_ || unit < 0x20 || unit == 0x7F || (unit >= 0x80 && unit < 0xA0)) return;
  editSelection(utf8FromUtf16(typed), true);
}

void Win32TextArea::showMenu(POINT screen) {
  const bool selected = caret_ != anchor_;
  const auto state = [](bool on) { return MF_STRING | (on ? MF_ENABLED : MF_GRAYED); };
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  const bool clipboardHasText = IsClipboardFormatAvailable(CF_UNICODETEXT);
  AppendMenuW(menu, state(!readOnly_ && history_.canUndo()), kUndo, L"&Undo");
  AppendMenuW(menu, state(!readOnly_ && history_.canRedo()), kRedo, L"&Redo");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, state(!readOnly_ && selected), kCut, L"Cu&t");
  AppendMenuW(menu, state(selected), kCopy, L"&Copy");
  AppendMenuW(menu, state(!readOnly_ && clipboardHasText), kPaste, L"&Paste");
  AppendMenuW(menu, state(!readOnly_ && selected), kDelete, L"&Delete");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, state(true), kSelectAll, L"Select &All");
  if (screen.x == -1 && screen.y == -1) {  // from the keyboard: below the caret
    ensureCaretVisible();
    const std::size_t row = lines_.lineOf(caret_) - top_ + 1;
    screen = POINT{kMargin - left_ + xOf(caret_), static_cast<int>(row) * lineHeight_};
    ClientToScreen(window_, &screen);
  }
  const UINT chosen =
      static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                       screen.x, screen.y, 0, window_, nullptr));
  DestroyMenu(menu);
  switch (chosen) {
    case kUndo:
      return undo(false);
    case kRedo:
      return undo(true);
    case kCut:
      return cut();
    case kCopy:
      return copy();
    case kPaste:
      return paste();
    case kDelete:
      if (!readOnly_ && selected) editSelection({});
      return;
    case kSelectAll:
      return selectAll();
    default:
      return;
  }
}

LRESULT Win32TextArea::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      showBars();
      PAINTSTRUCT ps;
      HDC screen = BeginPaint(window_, &ps);
      RECT client{};
      GetClientRect(window_, &client);
      // Drawn off screen first, so a line drawn twice for its selection never flickers.
      HDC dc = CreateCompatibleDC(screen);
      HBITMAP picture = CreateCompatibleBitmap(screen, std::max<LONG>(1, client.right),
                                               std::max<LONG>(1, client.bottom));
      const HGDIOBJ old = SelectObject(dc, picture);
      paint(dc, ps.rcPaint);
      BitBlt(screen, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
             ps.rcPaint.bottom - ps.rcPaint.top, dc, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
      SelectObject(dc, old);
      DeleteObject(picture);
      DeleteDC(dc);
      EndPaint(window_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the painting covers everything
    case WM_SIZE:
      updateScrollBars();
      placeCaret();
      InvalidateRect(window_, nullptr, FALSE);
      return 0;
    case WM_SETFONT:
      setFont(reinterpret_cast<HFONT>(wParam));
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_SYSCOLORCHANGE:
    case WM_ENABLE:
      InvalidateRect(window_, nullptr, FALSE);
      return 0;
    case WM_SETFOCUS:
      createCaret();
      placeCaret();
      ShowCaret(window_);
      InvalidateRect(window_, nullptr, FALSE);
      return 0;
    case WM_KILLFOCUS:
      DestroyCaret();
      selecting_ = false;
      highSurrogate_ = 0;
      InvalidateRect(window_, nullptr, FALSE);
      return 0;
    case WM_GETDLGCODE: {
      // The arrows and typing stay here; Enter too unless read-only (then it presses the
      // dialog's default button); Tab and Escape go to the dialog.
      LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
      const auto* pending = reinterpret_cast<const MSG*>(lParam);
      if (pending && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN && !readOnly_)
        code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_KEYDOWN:
      if (onKey(wParam)) return 0;
      break;
    case WM_SYSKEYDOWN:
      if (wParam == VK_BACK && keyDown(VK_MENU)) {  // Alt+Backspace undoes, as in Windows' own
        undo(false);
        return 0;
      }
      break;
    case WM_CHAR:
      onChar(static_cast<char16_t>(wParam));
      return 0;
    case WM_UNICHAR:
      if (wParam == UNICODE_NOCHAR) return TRUE;
      break;
    case WM_LBUTTONDOWN: {
      SetFocus(window_);
      SetCapture(window_);
      selecting_ = true;
      moveCaret(
          positionAt(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}),
          (wParam & MK_SHIFT) != 0);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (selecting_ && (wParam & MK_LBUTTON))
        moveCaret(positionAt(POINT{static_cast<short>(LOWORD(lParam)),
                                   static_cast<short>(HIWORD(lParam))}),
                  true);
      return 0;
    case WM_LBUTTONUP:
      selecting_ = false;
      if (GetCapture() == window_) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      selecting_ = false;
      return 0;
    case WM_LBUTTONDBLCLK: {
      SetFocus(window_);
      const std::size_t at =
          positionAt(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      const auto [first, second] = lines_.wordAt(at);
      anchor_ = first;
      moveCaret(second, true);
      if (onDoubleClick) onDoubleClick();
      return 0;
    }
    case WM_CONTEXTMENU:
      showMenu(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      return 0;
    case WM_VSCROLL:
      onScroll(SB_VERT, LOWORD(wParam));
      return 0;
    case WM_HSCROLL:
      onScroll(SB_HORZ, LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      onWheel(-static_cast<short>(HIWORD(wParam)), false);
      return 0;
    case WM_MOUSEHWHEEL:
      onWheel(static_cast<short>(HIWORD(wParam)), true);
      return 0;
    case WM_GETTEXTLENGTH:
      // For accessibility and tests, never on the way of typing: counted, not copied.
      return static_cast<LRESULT>(utf16Length(text()));
    case WM_GETTEXT: {
      if (wParam == 0 || !lParam) return 0;
      const std::u16string units = utf16FromUtf8(text(), static_cast<std::size_t>(wParam) - 1);
      std::copy(units.begin(), units.end(), reinterpret_cast<char16_t*>(lParam));
      reinterpret_cast<char16_t*>(lParam)[units.size()] = u'\0';
      return static_cast<LRESULT>(units.size());
    }
    case WM_SETTEXT:
      return FALSE;  // the text is the owner's: it changes through the owner
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace qb::ui
