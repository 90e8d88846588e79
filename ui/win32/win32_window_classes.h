#pragma once
// The window classes of the views, the monitor's dots per inch and window sizes at them.

#include <windows.h>

namespace qb::ui {

inline constexpr wchar_t kFormClass[] = L"QuillbarrowForm";
// A frame: a group box that holds its controls, so they move, show and hide with it and
// it covers what lies behind it. What its controls report goes on to the window.
inline constexpr wchar_t kFrameClass[] = L"QuillbarrowFrame";

// Registers both classes once; `formProcedure` handles the forms' windows.
void registerWindowClasses(WNDPROC formProcedure);
// The dots per inch of the monitor a window is on (96 where the system cannot tell).
UINT windowDpi(HWND window);
// The window size for a client area, at `dpi`.
void adjustWindowRect(RECT& rect, DWORD style, bool menu, UINT dpi);

}  // namespace qb::ui
