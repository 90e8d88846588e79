// Reads another program's windows the way accessibility tools do, for tests that drive that
// program from outside with the user's own keyboard and mouse: where its controls are on the
// screen, what they show, which one has the focus. It never sends input.
//   qb_win32_inspect
// Reads one command a line from standard input and answers with lines ending in a line ".":
//   windows              every visible top-level window: HWND PID TOPMOST X Y W H TITLE
//   controls HWND        every child window: HWND CLASS ID STYLE VISIBLE ENABLED CHECK X Y W H
//                        TEXT (STYLE in hexadecimal)
//   items HWND           a list box's entries: SELECTED TEXT, then "caret N"
//   text HWND            the window's whole text
//   menu HWND            the menu bar's entries: INDEX X Y W H TEXT
//   popup HWND INDEX     the entries of a menu bar entry's menu: INDEX ID TEXT
//   focus                the window with the keyboard focus: HWND CLASS ID TOPLEVEL-HWND
//   state HWND           a window's own state: VISIBLE ENABLED
//   combo HWND           a combo box's entries: INDEX TEXT, then "current N"
//   link PATH            a shortcut file read back through IShellLinkW: "target T",
//                        "folder F", "hotkey N" (N the hot key word in hexadecimal), or
//                        "error WHY"
//   length HWND          the length of the window's text (WM_GETTEXTLENGTH)
//   itemheight HWND      a list box's entry height and its first shown entry: HEIGHT TOP
//   held                 the virtual keys (mouse buttons too) the system holds down: VK...
//   forget-settings      removes the programs' settings (HKCU\Software\Quillbarrow), so a
//                        test starts from a first run
// Handles are printed and read as hexadecimal numbers. Texts are UTF-8 with CR, LF and TAB
// written as \r, \n and \t.

#include <windows.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/shell_link_writer.h"

namespace {

std::string utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), length,
                      nullptr, nullptr);
  return out;
}

std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\t')
      out += "\\t";
    else if (c == '\\')
      out += "\\\\";
    else
      out += c;
  }
  return out;
}

std::string escaped(const std::wstring& wide) {
  return escaped(utf8(wide));
}

std::wstring textOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
    return L"";
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 5000, &copied);
  text.resize(copied);
  return text;
}

std::string className(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  return utf8(name);
}

std::string handle(HWND window) {
  std::ostringstream out;
  out << std::hex << reinterpret_cast<std::uintptr_t>(window);
  return out.str();
}

HWND readHandle(std::istream& in) {
  std::uintptr_t value = 0;
  in >> std::hex >> value;
  return reinterpret_cast<HWND>(value);
}

std::string rectText(const RECT& r) {
  std::ostringstream out;
  out << r.left << ' ' << r.top << ' ' << r.right - r.left << ' ' << r.bottom - r.top;
  return out.str();
}

BOOL CALLBACK listTopLevel(HWND window, LPARAM) {
  if (!IsWindowVisible(window)) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  RECT r{};
  GetWindowRect(window, &r);
  const bool topmost = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  std::cout << handle(window) << ' ' << pid << ' ' << topmost << ' ' << rectText(r) << ' '
            << escaped(textOf(window)) << '\n';
  return TRUE;
}

BOOL CALLBACK listChild(HWND window, LPARAM) {
  RECT r{};
  GetWindowRect(window, &r);
  const std::string kind = className(window);
  int check = -1;
  if (kind == "Button") check = static_cast<int>(SendMessageW(window, BM_GETCHECK, 0, 0));
  std::cout << handle(window) << ' ' << kind << ' ' << GetDlgCtrlID(window) << ' ' << std::hex
            << GetWindowLongPtrW(window, GWL_STYLE) << std::dec << ' '
            << (IsWindowVisible(window) ? 1 : 0) << ' ' << (IsWindowEnabled(window) ? 1 : 0) << ' '
            << check << ' ' << rectText(r) << ' ' << escaped(textOf(window)) << '\n';
  return TRUE;
}

void listItems(HWND list) {
  const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
    std::cout << (SendMessageW(list, LB_GETSEL, i, 0) > 0 ? 1 : 0) << ' ' << escaped(text) << '\n';
  }
  std::cout << "caret " << SendMessageW(list, LB_GETCARETINDEX, 0, 0) << '\n';
}

void listMenu(HWND window) {
  HMENU bar = GetMenu(window);
  const int count = bar ? GetMenuItemCount(bar) : 0;
  for (int i = 0; i < count; ++i) {
    RECT r{};
    GetMenuItemRect(window, bar, static_cast<UINT>(i), &r);
    wchar_t text[256] = {};
    GetMenuStringW(bar, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    std::cout << i << ' ' << rectText(r) << ' ' << escaped(text) << '\n';
  }
}

void listPopup(HWND window, int index) {
  HMENU menu = GetSubMenu(GetMenu(window), index);
  const int count = menu ? GetMenuItemCount(menu) : 0;
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    std::cout << i << ' ' << static_cast<int>(GetMenuItemID(menu, i)) << ' ' << escaped(text)
              << '\n';
  }
}

void listCombo(HWND combo) {
  const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1,
                      L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
    std::cout << i << ' ' << escaped(text) << '\n';
  }
  std::cout << "current " << SendMessageW(combo, CB_GETCURSEL, 0, 0) << '\n';
}

void showLink(const std::string& path) {
  const auto link = qb::platform::win32::readShellLink(path);
  if (!link) {
    std::cout << "error " << link.message() << '\n';
    return;
  }
  std::cout << "target " << escaped(link->target) << '\n'
            << "folder " << escaped(link->workingFolder) << '\n'
            << "hotkey " << std::hex << link->hotKey << std::dec << '\n';
}

void showFocus() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  HWND front = GetForegroundWindow();
  if (front && GetGUIThreadInfo(GetWindowThreadProcessId(front, nullptr), &info) && info.hwndFocus)
    std::cout << handle(info.hwndFocus) << ' ' << className(info.hwndFocus) << ' '
              << GetDlgCtrlID(info.hwndFocus) << ' ' << handle(GetAncestor(info.hwndFocus, GA_ROOT))
              << '\n';
  else
    std::cout << "0 none 0 " << handle(front) << '\n';
}

void showHeld() {
  std::string line;
  for (int key = 1; key < 256; ++key)
    if (GetAsyncKeyState(key) & 0x8000) line += (line.empty() ? "" : " ") + std::to_string(key);
  std::cout << line << '\n';
}

}  // namespace

int main() {
  std::ios::sync_with_stdio(false);
  std::string line;
  std::cout << "ready\n" << std::flush;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream in(line);
    std::string command;
    in >> command;
    if (command == "windows") {
      EnumWindows(&listTopLevel, 0);
    } else if (command == "controls") {
      EnumChildWindows(readHandle(in), &listChild, 0);
    } else if (command == "items") {
      listItems(readHandle(in));
    } else if (command == "text") {
      std::cout << escaped(textOf(readHandle(in))) << '\n';
    } else if (command == "menu") {
      listMenu(readHandle(in));
    } else if (command == "popup") {
      HWND window = readHandle(in);
      int index = 0;
      in >> std::dec >> index;
      listPopup(window, index);
    } else if (command == "state") {
      HWND window = readHandle(in);
      std::cout << (IsWindowVisible(window) ? 1 : 0) << ' ' << (IsWindowEnabled(window) ? 1 : 0)
                << '\n';
    } else if (command == "combo") {
      listCombo(readHandle(in));
    } else if (command == "link") {
      std::string path;
      std::getline(in >> std::ws, path);
      showLink(path);
    } else if (command == "focus") {
      showFocus();
    } else if (command == "length") {
      DWORD_PTR length = 0;
      SendMessageTimeoutW(readHandle(in), WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
      std::cout << length << '\n';
    } else if (command == "itemheight") {
      HWND list = readHandle(in);
      std::cout << SendMessageW(list, LB_GETITEMHEIGHT, 0, 0) << ' '
                << SendMessageW(list, LB_GETTOPINDEX, 0, 0) << '\n';
    } else if (command == "held") {
      showHeld();
    } else if (command == "forget-settings") {
      RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quillbarrow");
    } else if (command == "quit") {
      break;
    }
    std::cout << ".\n" << std::flush;
  }
  return 0;
}
