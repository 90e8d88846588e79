// A test window that is not ours: a top-level window with a multi-line edit field that logs,
// with its own clock, every key, character and button message it receives to a file.
//   qb_win32_probe TITLE LOG-FILE [LEFT TOP]
// Each log line: "<ms since start> <message> <wParam> <x> <y>", flushed at once. The window
// ends on WM_CLOSE.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

FILE* logFile = nullptr;
LARGE_INTEGER started, frequency;
WNDPROC editProcedure = nullptr;
HWND edit = nullptr;

double elapsedMs() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - started.QuadPart) * 1000.0 /
         static_cast<double>(frequency.QuadPart);
}

const char* nameOf(UINT message) {
  switch (message) {
    case WM_KEYDOWN:
      return "keydown";
    case WM_KEYUP:
      return "keyup";
    case WM_SYSKEYDOWN:
      return "syskeydown";
    case WM_SYSKEYUP:
      return "syskeyup";
    case WM_CHAR:
      return "char";
    case WM_LBUTTONDOWN:
      return "ldown";
    case WM_LBUTTONUP:
      return "lup";
    case WM_RBUTTONDOWN:
      return "rdown";
    case WM_RBUTTONUP:
      return "rup";
    default:
      return nullptr;
  }
}

void logMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const char* name = nameOf(message);
  if (!name || !logFile) return;
  POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST)
    ClientToScreen(window, &at);
  else
    at = {0, 0};
  std::fprintf(logFile, "%.3f %s %llu %ld %ld\n", elapsedMs(), name,
               static_cast<unsigned long long>(wParam), at.x, at.y);
  std::fflush(logFile);
}

LRESULT CALLBACK editHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  logMessage(window, message, wParam, lParam);
  return CallWindowProcW(editProcedure, window, message, wParam, lParam);
}

LRESULT CALLBACK frame(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (edit) MoveWindow(edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_SETFOCUS:
      if (edit) SetFocus(edit);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&started);
  logFile = _wfopen(argv[2], L"w");
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW frameClass{};
  frameClass.lpfnWndProc = frame;
  frameClass.hInstance = instance;
  frameClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  frameClass.lpszClassName = L"QbProbeWindow";
  RegisterClassW(&frameClass);
  // Where it goes on the screen: 100, 100 unless given.
  const int left = argc > 4 ? _wtoi(argv[3]) : 100, top = argc > 4 ? _wtoi(argv[4]) : 100;
  HWND window = CreateWindowExW(0, L"QbProbeWindow", argv[1], WS_OVERLAPPEDWINDOW, left, top, 400,
                                300, nullptr, nullptr, instance, nullptr);
  edit = CreateWindowExW(0, L"EDIT", L"",
                         WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0,
                         0, 400, 300, window, nullptr, instance, nullptr);
  editProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editHook)));
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  SetFocus(edit);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (logFile) std::fclose(logFile);
  return 0;
}
