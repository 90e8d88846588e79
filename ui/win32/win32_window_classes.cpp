#include "ui/win32/win32_window_classes.h"

#include <commctrl.h>

#include <string>

namespace qb::ui {
namespace {

template <typename Call>
Call systemCall(const wchar_t* module, const char* name) {
  HMODULE library = GetModuleHandleW(module);
  return library ? reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(library, name)))
                 : nullptr;
}

void paintFrame(HWND frame) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(frame, &paint);
  RECT client;
  GetClientRect(frame, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  const auto font = reinterpret_cast<HFONT>(SendMessageW(frame, WM_GETFONT, 0, 0));
  const HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  RECT edge = client;
  edge.top += metrics.tmHeight / 2;
  DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
  std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(frame)) + 1, L'\0');
  caption.resize(static_cast<std::size_t>(
      GetWindowTextW(frame, caption.data(), static_cast<int>(caption.size()))));
  if (!caption.empty()) {
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(frame) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    const int inset = metrics.tmAveCharWidth;
    RECT text{client.left + inset, client.top, client.right - inset, client.top + metrics.tmHeight};
    const std::wstring padded = L" " + caption + L" ";
    DrawTextW(dc, padded.c_str(), static_cast<int>(padded.size()), &text,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  if (oldFont) SelectObject(dc, oldFont);
  EndPaint(frame, &paint);
}

LRESULT CALLBACK frameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      paintFrame(frame);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETFONT:
      SetPropW(frame, L"QuillbarrowFont", reinterpret_cast<HANDLE>(wParam));
      if (LOWORD(lParam)) InvalidateRect(frame, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(GetPropW(frame, L"QuillbarrowFont"));
    case WM_SETTEXT: {
      const LRESULT done = DefWindowProcW(frame, message, wParam, lParam);
      InvalidateRect(frame, nullptr, TRUE);
      return done;
    }
    case WM_NCDESTROY:
      RemovePropW(frame, L"QuillbarrowFont");
      break;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
      // What its controls report is the window's business.
      return SendMessageW(GetAncestor(frame, GA_ROOT), message, wParam, lParam);
    default:
      break;
  }
  return DefWindowProcW(frame, message, wParam, lParam);
}

}  // namespace

void registerWindowClasses(WNDPROC formProcedure) {
  static const bool registered = [formProcedure] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = formProcedure;
    form.hInstance = instance;
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = kFormClass;
    // The programs' icon resource, when they carry one.
    form.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    form.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    RegisterClassExW(&form);
    WNDCLASSEXW frame{};
    frame.cbSize = sizeof frame;
    frame.lpfnWndProc = &frameProcedure;
    frame.hInstance = instance;
    frame.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frame.lpszClassName = kFrameClass;
    RegisterClassExW(&frame);
    return true;
  }();
  (void)registered;
}

UINT windowDpi(HWND window) {
  using DpiForWindow = UINT(WINAPI*)(HWND);
  static const auto forWindow = systemCall<DpiForWindow>(L"user32.dll", "GetDpiForWindow");
  if (forWindow && window) {
    const UINT dpi = forWindow(window);
    if (dpi) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

void adjustWindowRect(RECT& rect, DWORD style, bool menu, UINT dpi) {
  using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto forDpi = systemCall<AdjustForDpi>(L"user32.dll", "AdjustWindowRectExForDpi");
  if (!forDpi || !forDpi(&rect, style, menu, 0, dpi)) AdjustWindowRectEx(&rect, style, menu, 0);
}

}  // namespace qb::ui
