#include "platform/win32/win32_tray_icon.h"

#include <windows.h>
// windows.h first
#include <shellapi.h>

#include <algorithm>

#include "common/utf16_win32.h"

namespace qb::platform::win32 {
namespace {

constexpr UINT kIconMessage = WM_APP + 1;
constexpr UINT kIconId = 1;
constexpr wchar_t kClassName[] = L"QuillbarrowTrayIcon";

UINT taskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

HICON programIcon() {
  // The icon resource the programs carry, else the system's application icon.
  HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                             IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  return icon ? icon : LoadIconW(nullptr, IDI_APPLICATION);
}

}  // namespace

Win32TrayIcon::Win32TrayIcon() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = reinterpret_cast<WNDPROC>(&Win32TrayIcon::windowProc);
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  RegisterClassW(&windowClass);  // fails harmlessly when a second icon registered it first
  // A hidden top-level window rather than a message-only one: only top-level windows hear
  // the task bar's broadcast that it was made again.
  window_ = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window_) SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32TrayIcon::~Win32TrayIcon() {
  removeIcon();
  if (window_) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

bool Win32TrayIcon::add() {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = kIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kIconMessage;
  data.hIcon = programIcon();
  const std::size_t length = std::min(tip_.size(), std::size(data.szTip) - 1);
  std::copy_n(tip_.begin(), length, data.szTip);
  shown_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
  return shown_;
}

bool Win32TrayIcon::addIcon(std::string_view tip, std::function<void(int buttons)> onMouse) {
  if (!window_) return false;
  removeIcon();
  tip_ = qb::win32::utf16FromUtf8(tip);
  onMouse_ = std::move(onMouse);
  wanted_ = true;
  // Without a notification area the icon cannot be seen, but the program goes on: the core
  // asks iconVisible() for that.
  add();
  return true;
}

void Win32TrayIcon::removeIcon() {
  wanted_ = false;
  if (!shown_) return;
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = kIconId;
  Shell_NotifyIconW(NIM_DELETE, &data);
  shown_ = false;
}

std::intptr_t __stdcall Win32TrayIcon::windowProc(::HWND__* window, unsigned message,
                                                  std::uintptr_t wParam, std::intptr_t lParam) {
  auto* self = reinterpret_cast<Win32TrayIcon*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self && message == kIconMessage) {
    const auto event = static_cast<UINT>(LOWORD(lParam));
    // The handler may remove the icon and with it this object: copy the handler first.
    const auto onMouse = self->onMouse_;
    if (event == WM_LBUTTONUP || event == WM_LBUTTONDBLCLK) {
      if (onMouse) onMouse(1);
    } else if (event == WM_RBUTTONUP || event == WM_CONTEXTMENU) {
      if (onMouse) onMouse(2);
    }
    return 0;
  }
  if (self && message == taskbarCreatedMessage() && self->wanted_) {
    self->shown_ = false;
    self->add();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace qb::platform::win32
