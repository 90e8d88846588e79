// The Win32 text field through its real window under Wine: keys and characters typed with
// SendInput into this program's own focused window, the mouse, the clipboard, the dialog
// manager's keys, and a text of a million lines. The window's owner is the test: it keeps the
// text and applies each edit the field reports, as the form model does.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>

#include "ui/text/text_lines.h"
#include "ui/text/utf16_line.h"
#include "ui/win32/win32_text_area.h"

namespace qb::ui {
namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

constexpr int kAreaId = 101, kButtonId = 102;
constexpr int kMargin = 2;  // the field's own left margin

// A key as a keyboard sends it; the navigation keys are extended keys.
void sendKey(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  bool extended = false;
  for (const WORD extendedKey : {VK_HOME, VK_END, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_INSERT,
                                 VK_DELETE, VK_PRIOR, VK_NEXT})
    extended = extended || key == extendedKey;
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
  SendInput(1, &input, sizeof input);
}

void tap(WORD key) {
  sendKey(key, false);
  sendKey(key, true);
}

// A key with modifiers held.
void chord(std::initializer_list<WORD> held, WORD key) {
  for (const WORD modifier : held) sendKey(modifier, false);
  tap(key);
  for (const WORD modifier : held) sendKey(modifier, true);
}

// Characters as typed text: each UTF-16 unit a key of its own (a pair comes as two).
void typeText(std::u16string_view text) {
  for (const char16_t unit : text) {
    INPUT input[2]{};
    for (INPUT& one : input) {
      one.type = INPUT_KEYBOARD;
      one.ki.wScan = unit;
      one.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    input[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
  }
}

void moveMouse(POINT screen) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  input.mi.dx = static_cast<LONG>((screen.x * 65536LL + width - 1) / width);
  input.mi.dy = static_cast<LONG>((screen.y * 65536LL + height - 1) / height);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

void mouseButton(bool down) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &input, sizeof input);
}

void wheel(int notches) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_WHEEL;
  input.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
  SendInput(1, &input, sizeof input);
}

std::string utf8(std::u16string_view units) {
  return utf8FromUtf16(units);
}

bool setClipboard(std::u16string_view text, HWND owner) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
  auto* units = static_cast<char16_t*>(GlobalLock(block));
  std::copy(text.begin(), text.end(), units);
  units[text.size()] = u'\0';
  GlobalUnlock(block);
  const bool put = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
  CloseClipboard();
  return put;
}

std::u16string clipboard(HWND owner) {
  std::u16string text;
  if (!OpenClipboard(owner)) return u"(not open)";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* units = static_cast<const char16_t*>(GlobalLock(data))) {
      text = units;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// A top-level window holding the field over a text the test owns, and a button after it.
class TextAreaWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW type{};
    type.lpfnWndProc = DefWindowProcW;
    type.hInstance = GetModuleHandleW(nullptr);
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = L"QbTextAreaTest";
    RegisterClassW(&type);
    top = CreateWindowExW(0, L"QbTextAreaTest", L"QB Text Area", WS_OVERLAPPEDWINDOW, 50, 50, 660,
                          520, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(top);
    area = std::make_unique<Win32TextArea>(top, kAreaId);
    ASSERT_TRUE(area->hwnd());
    MoveWindow(area->hwnd(), 10, 10, 600, 400, FALSE);
    button = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 420, 80,
                             28, top, reinterpret_cast<HMENU>(kButtonId), GetModuleHandleW(nullptr),
                             nullptr);
    area->setSource(&text);
    area->onEdit = [this](std::size_t from, std::size_t count, std::string with) {
      ++edits;
      text.replace(from, count, with);
      area->replaced(from, count, with.size());
    };
    area->onDoubleClick = [this] { ++doubleClicks; };
    ShowWindow(top, SW_SHOWNORMAL);
    UpdateWindow(top);
    SetForegroundWindow(top);
    SetFocus(area->hwnd());
    ASSERT_TRUE(pumpUntil([&] {
      return GetForegroundWindow() == top && GetFocus() == area->hwnd();
    })) << "the window did not take the focus";
  }

  void TearDown() override {
    area.reset();
    if (top) DestroyWindow(top);
    pump();
  }

  // Runs the window's messages, through the dialog manager as a form's window does, until
  // `done` or the time is up.
  bool pumpUntil(const std::function<bool()>& done, int ms = 5000) {
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (IsDialogMessageW(top, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      if (done()) return true;
      if (Clock::now() > until) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
  }
  // Lets everything sent so far arrive.
  void pump(int ms = 150) {
    pumpUntil([] { return false; }, ms);
  }
  bool waitForText(const std::string& expected) {
    return pumpUntil([&] { return text == expected; });
  }

  // The field's font metrics, measured as it measures them.
  int lineHeight() const {
    HDC dc = GetDC(area->hwnd());
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(area->hwnd(), WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    ReleaseDC(area->hwnd(), dc);
    return metrics.tmHeight + metrics.tmExternalLeading;
  }
  int widthOf(std::string_view line) const {
    const std::u16string units = Utf16Line(line).units();
    HDC dc = GetDC(area->hwnd());
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(area->hwnd(), WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(units.c_str()),
                          static_cast<int>(units.size()), &size);
    ReleaseDC(area->hwnd(), dc);
    return size.cx;
  }
  // The whole lines in sight.
  std::size_t rows() const {
    RECT client{};
    GetClientRect(area->hwnd(), &client);
    return static_cast<std::size_t>(client.bottom / lineHeight());
  }
  // A point of the field's client area on the screen.
  POINT onScreen(int x, int y) const {
    POINT point{x, y};
    ClientToScreen(area->hwnd(), &point);
    return point;
  }
  void click(POINT screen) {
    moveMouse(screen);
    mouseButton(true);
    mouseButton(false);
  }

  HWND top = nullptr, button = nullptr;
  std::unique_ptr<Win32TextArea> area;
  std::string text;
  int edits = 0, doubleClicks = 0;
};

TEST_F(TextAreaWindow, TypedKeysEditTheOwnersTextAtTheCaret) {
  typeText(u"w:ab\U0001F600");
  tap(VK_RETURN);
  typeText(u"m:12");
  tap(VK_BACK);
  const std::string typed = utf8(u"w:ab\U0001F600\r\nm:1");
  ASSERT_TRUE(waitForText(typed)) << text;
  EXPECT_EQ(area->caret(), typed.size());
  EXPECT_EQ(area->lineCount(), 2u);
  // The system caret stands after what was typed, on the second line.
  POINT caret{};
  ASSERT_TRUE(GetCaretPos(&caret));
  EXPECT_EQ(caret.x, kMargin + widthOf("m:1"));
  EXPECT_EQ(caret.y, lineHeight());

  // Home and Shift+Right twice select "m:", and Delete removes it.
  tap(VK_HOME);
  chord({VK_SHIFT}, VK_RIGHT);
  chord({VK_SHIFT}, VK_RIGHT);
  ASSERT_TRUE(pumpUntil([&] { return area->selectedText() == "m:"; })) << area->selectedText();
  tap(VK_DELETE);
  ASSERT_TRUE(waitForText(utf8(u"w:ab\U0001F600\r\n1")));

  // Left from the line's start crosses the CR LF in one step; Shift+Left takes the whole pair,
  // and a typed character replaces it.
  tap(VK_HOME);
  tap(VK_LEFT);
  chord({VK_SHIFT}, VK_LEFT);
  ASSERT_TRUE(pumpUntil([&] { return area->selectedText() == utf8(u"\U0001F600"); }));
  typeText(u"!");
  ASSERT_TRUE(waitForText("w:ab!\r\n1"));

  // Ctrl+A and typing replace everything; Ctrl+Z and Ctrl+Y walk back and forth.
  chord({VK_CONTROL}, 'A');
  typeText(u"z");
  ASSERT_TRUE(waitForText("z"));
  chord({VK_CONTROL}, 'Z');
  ASSERT_TRUE(waitForText("w:ab!\r\n1"));
  chord({VK_CONTROL}, 'Z');
  ASSERT_TRUE(waitForText(utf8(u"w:ab\U0001F600\r\n1")));
  chord({VK_CONTROL}, 'Y');
  ASSERT_TRUE(waitForText("w:ab!\r\n1"));
  EXPECT_EQ(area->caret(), 5u);  // after what the redo put back
}

TEST_F(TextAreaWindow, WordKeysAndLinesMoveTheCaretAsAnEditFieldDoes) {
  text = "m:click, 12\r\nw:{x}\r\n";
  area->setSource(&text);
  chord({VK_CONTROL}, VK_END);
  ASSERT_TRUE(pumpUntil([&] { return area->caret() == text.size(); }));
  chord({VK_CONTROL}, VK_LEFT);  // over the line break
  ASSERT_TRUE(pumpUntil([&] { return area->caret() == 18; })) << area->caret();
  chord({VK_CONTROL}, VK_LEFT);  // to the start of the word before
  ASSERT_TRUE(pumpUntil([&] { return area->caret() == 16; })) << area->caret();
  chord({VK_CONTROL}, VK_HOME);
  chord({VK_CONTROL}, VK_RIGHT);
  ASSERT_TRUE(pumpUntil([&] { return area->caret() == 2; }));
  chord({VK_CONTROL, VK_SHIFT}, VK_RIGHT);
  ASSERT_TRUE(pumpUntil([&] { return area->selectedText() == "click, "; }));
  // Down keeps the column; End goes to the end of the line, before its CR LF.
  tap(VK_RIGHT);  // the selection folds to its end
  tap(VK_DOWN);
  tap(VK_END);
  ASSERT_TRUE(pumpUntil([&] { return area->caret() == 18; })) << area->caret();
  chord({VK_CONTROL}, VK_BACK);
  ASSERT_TRUE(waitForText("m:click, 12\r\nw:{\r\n"));
}

TEST_F(TextAreaWindow, TheClipboardTakesAndGivesTextWithCrLf) {
  ASSERT_TRUE(setClipboard(u"one\ntwo\r\nthr\u00E9e", top));
  chord({VK_CONTROL}, 'V');
  const std::string pasted = utf8(u"one\r\ntwo\r\nthr\u00E9e");
  ASSERT_TRUE(waitForText(pasted)) << text;
  EXPECT_EQ(area->lineCount(), 3u);
  EXPECT_EQ(area->caret(), pasted.size());

  chord({VK_SHIFT}, VK_HOME);
  chord({VK_CONTROL}, 'C');
  ASSERT_TRUE(pumpUntil([&] { return clipboard(top) == u"thr\u00E9e"; }));
  // The first line with its line break, cut with Shift+Delete and put back with Shift+Insert.
  chord({VK_CONTROL}, VK_HOME);
  chord({VK_SHIFT}, VK_DOWN);
  chord({VK_SHIFT}, VK_DELETE);
  ASSERT_TRUE(waitForText(utf8(u"two\r\nthr\u00E9e")));
  EXPECT_EQ(clipboard(top), u"one\r\n");
  tap(VK_END);
  chord({VK_SHIFT}, VK_INSERT);
  ASSERT_TRUE(waitForText(utf8(u"twoone\r\n\r\nthr\u00E9e")));
  chord({VK_CONTROL}, 'Z');
  ASSERT_TRUE(waitForText(utf8(u"two\r\nthr\u00E9e")));
  // Ctrl+X and Ctrl+Insert.
  chord({VK_SHIFT}, VK_HOME);
  chord({VK_CONTROL}, VK_INSERT);
  ASSERT_TRUE(pumpUntil([&] { return clipboard(top) == u"two"; }));
  chord({VK_CONTROL}, 'X');
  ASSERT_TRUE(waitForText(utf8(u"\r\nthr\u00E9e")));
}

TEST_F(TextAreaWindow, TheMousePlacesSelectsAndDoubleClickSelectsAWord) {
  text = "alpha beta\r\ngamma delta\r\n";
  area->setSource(&text);
  pump();
  const int height = lineHeight();
  // A click just right of a boundary puts the caret on it.
  click(onScreen(kMargin + widthOf("alpha b") + 1, height / 2));
  ASSERT_TRUE(pumpUntil([&] { return area->caret() == 7 && area->anchor() == 7; }))
      << area->caret();
  // Shift+click selects from there.
  sendKey(VK_SHIFT, false);
  click(onScreen(kMargin + widthOf("gam") + 1, height + height / 2));
  sendKey(VK_SHIFT, true);
  ASSERT_TRUE(pumpUntil([&] { return area->selectedText() == "eta\r\ngam"; }))
      << area->selectedText();
  // A drag across the first word.
  moveMouse(onScreen(kMargin, height / 2));
  mouseButton(true);
  moveMouse(onScreen(kMargin + widthOf("alph") + 1, height / 2));
  moveMouse(onScreen(kMargin + widthOf("alpha") + 1, height / 2));
  mouseButton(false);
  ASSERT_TRUE(pumpUntil([&] { return area->selectedText() == "alpha"; })) << area->selectedText();
  // A double click on "delta" selects it and tells the owner.
  pump(GetDoubleClickTime() + 50);  // the drag's press is not the first of a double click
  const POINT word = onScreen(kMargin + widthOf("gamma de"), height + height / 2);
  click(word);
  click(word);
  ASSERT_TRUE(pumpUntil([&] { return doubleClicks == 1; }));
  EXPECT_EQ(area->selectedText(), "delta");
  EXPECT_EQ(area->caret(), 23u);
  EXPECT_EQ(edits, 0);
}

// What the screen shows: the selection in the system's highlight colours, a disabled field in
// the face colour with grey text.
TEST_F(TextAreaWindow, TheSelectionAndADisabledFieldDrawInTheSystemColours) {
  text = "alpha beta gamma\r\ndelta";
  area->setSource(&text);
  area->select(6, 10);  // "beta"
  pump();
  UpdateWindow(area->hwnd());
  const int height = lineHeight();
  // How many pixels of a colour a stretch of a row holds.
  const auto count = [&](COLORREF colour, int from, int to, int y) {
    HDC dc = GetDC(area->hwnd());
    int found = 0;
    for (int x = from; x < to; ++x) found += GetPixel(dc, x, y) == colour;
    ReleaseDC(area->hwnd(), dc);
    return found;
  };
  const int selected = kMargin + widthOf("alpha "), after = kMargin + widthOf("alpha beta");
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), base = GetSysColor(COLOR_WINDOW);
  int highlightedRows = 0;  // the highlight's left edge, the line's whole height
  for (int y = 0; y < height; ++y) highlightedRows += count(highlight, selected, selected + 1, y);
  EXPECT_EQ(highlightedRows, height);
  EXPECT_GT(count(GetSysColor(COLOR_HIGHLIGHTTEXT), selected, after - 1, height / 2) +
                count(GetSysColor(COLOR_HIGHLIGHTTEXT), selected, after - 1, height / 2 + 1),
            0);  // the word drawn again over the highlight
  EXPECT_EQ(count(highlight, 0, selected - 1, height / 2), 0);
  EXPECT_EQ(count(highlight, after + 2, 400, height / 2), 0);
  EXPECT_EQ(count(base, 200, 400, height + height / 2), 200);  // past the second line's end

  EnableWindow(area->hwnd(), FALSE);
  pump();
  UpdateWindow(area->hwnd());
  EXPECT_EQ(count(GetSysColor(COLOR_BTNFACE), 200, 400, height + height / 2), 200);
  int grey = 0;
  for (int y = height; y < 2 * height; ++y)
    grey += count(GetSysColor(COLOR_GRAYTEXT), kMargin, kMargin + widthOf("delta"), y);
  EXPECT_GT(grey, 0);
}

TEST_F(TextAreaWindow, TabAndReadOnlyEnterGoToTheDialogTheRestStaysInTheField) {
  text = "ab";
  area->setSource(&text);
  chord({VK_CONTROL}, VK_END);
  tap(VK_RETURN);  // claimed by the field: a line break, not the dialog's default button
  ASSERT_TRUE(waitForText("ab\r\n"));
  tap(VK_UP);  // arrows too
  ASSERT_TRUE(pumpUntil([&] { return area->caret() == 0; }));
  tap(VK_TAB);
  ASSERT_TRUE(pumpUntil([&] { return GetFocus() == button; }));
  chord({VK_SHIFT}, VK_TAB);
  ASSERT_TRUE(pumpUntil([&] { return GetFocus() == area->hwnd(); }));

  // Read-only: nothing typed, pasted, cut or undone changes the text, and the owner hears
  // nothing; moving and copying still work.
  area->setReadOnly(true);
  MSG enter{area->hwnd(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_FALSE(
      SendMessageW(area->hwnd(), WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) &
      DLGC_WANTMESSAGE);
  const int before = edits;
  typeText(u"x");
  tap(VK_RETURN);
  tap(VK_BACK);
  tap(VK_DELETE);
  ASSERT_TRUE(setClipboard(u"pasted", top));
  chord({VK_CONTROL}, 'V');
  chord({VK_CONTROL}, 'Z');
  chord({VK_SHIFT}, VK_END);
  chord({VK_CONTROL}, 'X');
  pump(300);
  EXPECT_EQ(text, "ab\r\n");
  EXPECT_EQ(edits, before);
  EXPECT_EQ(area->selectedText(), "ab");
  chord({VK_CONTROL}, 'C');
  EXPECT_TRUE(pumpUntil([&] { return clipboard(top) == u"ab"; }));
}

TEST_F(TextAreaWindow, TheWheelAndPageKeysScrollTheLinesInSight) {
  for (int i = 0; i < 1000; ++i) text += "line " + std::to_string(i) + "\r\n";
  area->setSource(&text);
  moveMouse(onScreen(100, 100));
  wheel(-2);
  UINT perNotch = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
  ASSERT_TRUE(pumpUntil([&] { return area->topLine() == 2 * perNotch; })) << area->topLine();
  wheel(1);
  ASSERT_TRUE(pumpUntil([&] { return area->topLine() == perNotch; })) << area->topLine();
  // Page Down moves the caret and the view a page on; the caret stays in sight.
  tap(VK_NEXT);
  ASSERT_TRUE(pumpUntil([&] { return area->caret() > 0; }));
  TextLines lines;
  lines.setSource(&text);
  const std::size_t line = lines.lineOf(area->caret());
  EXPECT_EQ(line, rows());  // a page on from the first line
  EXPECT_GE(line, area->topLine());
  EXPECT_LT(line, area->topLine() + rows());
}

// A macro of a million lines: it shows at once, goes to its end, selects, copies and takes
// typing there. The times are printed for the report, not checked.
TEST_F(TextAreaWindow, AMillionLinesShowScrollSelectCopyAndTakeTyping) {
  constexpr std::size_t kLines = 1'000'000;
  std::string big;
  big.reserve(kLines * 22);
  for (std::size_t i = 0; i < kLines; ++i)
    big += (i % 3 == 0 ? "m:" + std::to_string(600 + i % 100) + ", 700" : std::string("w:{a}")) +
           "-" + std::to_string(5'000'000 + i * 10) + "\r\n";
  // Room for what is typed: the owner's own copy of the text on its first append is not the
  // field's work.
  text.reserve(big.size() + 4096);
  text = big;
  TextLines index;
  index.setSource(&text);
  std::printf("[figures] %zu lines, %.1f MB; the line index takes %zu bytes\n", kLines,
              static_cast<double>(text.size()) / 1e6, index.indexBytes());

  auto started = Clock::now();
  area->setSource(&text);
  UpdateWindow(area->hwnd());
  std::printf("[figures] setSource and first paint: %.1f ms\n", msSince(started));
  EXPECT_EQ(area->lineCount(), kLines + 1);

  started = Clock::now();
  chord({VK_CONTROL}, VK_END);
  ASSERT_TRUE(pumpUntil([&] { return area->caret() == text.size(); }));
  UpdateWindow(area->hwnd());
  std::printf("[figures] Ctrl+End, through the window: %.1f ms\n", msSince(started));
  EXPECT_GE(area->topLine() + rows(), kLines);

  started = Clock::now();
  chord({VK_CONTROL}, 'A');
  ASSERT_TRUE(pumpUntil([&] { return area->anchor() == 0 && area->caret() == text.size(); }));
  UpdateWindow(area->hwnd());
  std::printf("[figures] Ctrl+A, through the window: %.1f ms\n", msSince(started));

  // The last line with its line break, copied.
  chord({VK_CONTROL}, VK_END);
  chord({VK_SHIFT}, VK_UP);
  chord({VK_CONTROL}, 'C');
  const std::size_t lastStart = text.rfind('\n', text.size() - 2) + 1;
  const std::u16string lastLine = Utf16Line(std::string_view(text).substr(lastStart)).units();
  started = Clock::now();
  ASSERT_TRUE(pumpUntil([&] { return clipboard(top) == lastLine; }));
  std::printf("[figures] Shift+Up and Ctrl+C of the last line: %.1f ms\n", msSince(started));

  // Typing at the end: each key through the window, waited for one by one.
  tap(VK_END);
  chord({VK_CONTROL}, VK_END);
  ASSERT_TRUE(
      pumpUntil([&] { return area->caret() == text.size() && area->anchor() == text.size(); }));
  const std::u16string typed = u"w:{x}-9";
  started = Clock::now();
  for (std::size_t i = 0; i < typed.size(); ++i) {
    typeText(typed.substr(i, 1));
    ASSERT_TRUE(pumpUntil([&] { return text.size() == big.size() + i + 1; }));
    UpdateWindow(area->hwnd());
  }
  std::printf("[figures] a key typed at the end, through the window: %.2f ms each\n",
              msSince(started) / static_cast<double>(typed.size()));
  tap(VK_RETURN);
  ASSERT_TRUE(waitForText(big + "w:{x}-9\r\n"));
  EXPECT_EQ(area->lineCount(), kLines + 2);
  // The field's own work per character, without the way through the input queue.
  constexpr int kDirect = 200;
  started = Clock::now();
  double handling = 0;
  for (int i = 0; i < kDirect; ++i) {
    const auto one = Clock::now();
    SendMessageW(area->hwnd(), WM_CHAR, 'k', 0);
    handling += msSince(one);
    UpdateWindow(area->hwnd());
  }
  std::printf("[figures] WM_CHAR alone: %.3f ms each\n", handling / kDirect);
  std::printf("[figures] WM_CHAR handled and painted at the end: %.3f ms each\n",
              msSince(started) / kDirect);
  EXPECT_EQ(text.size(), big.size() + 9 + kDirect);
  EXPECT_EQ(text.substr(big.size()), "w:{x}-9\r\n" + std::string(kDirect, 'k'));

  // The scroll bar's thumb dragged to the middle: the 32-bit track position reaches lines a
  // 16-bit one cannot.
  SCROLLBARINFO bar{};
  bar.cbSize = sizeof bar;
  ASSERT_TRUE(GetScrollBarInfo(area->hwnd(), OBJID_VSCROLL, &bar));
  const int x = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
  const int thumb = bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
  const int middle = (bar.rcScrollBar.top + bar.rcScrollBar.bottom) / 2;
  moveMouse(POINT{x, thumb});
  mouseButton(true);
  moveMouse(POINT{x, (thumb + middle) / 2});
  moveMouse(POINT{x, middle});
  started = Clock::now();
  mouseButton(false);
  ASSERT_TRUE(pumpUntil([&] {
    return area->topLine() > kLines / 3 && area->topLine() < kLines * 2 / 3;
  })) << area->topLine();
  std::printf("[figures] thumb dragged to line %zu\n", area->topLine());
  EXPECT_GT(area->topLine(), 65535u);
}

}  // namespace
}  // namespace qb::ui
