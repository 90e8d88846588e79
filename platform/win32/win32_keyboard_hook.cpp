#include "platform/win32/win32_keyboard_hook.h"

#include <windows.h>

#include "platform/virtual_keys.h"
#include "platform/win32/own_input.h"

namespace qb::platform::win32 {
namespace {

// How often the watchdog looks, and how long the hook gets to see an input before the watchdog
// counts it as missed. Event times and the last-input time may differ by a tick of the
// system's coarse clock.
constexpr Ms kWatchdogPeriodMs = 500;
constexpr DWORD kUnseenInputMarginMs = 250;
constexpr std::int32_t kClockSlackMs = 16;

Win32KeyboardHook* activeHook = nullptr;

constexpr std::uint32_t kRightShiftScanCode = 0x36;

std::uint32_t lastInputTick() {
  LASTINPUTINFO info{sizeof(LASTINPUTINFO), 0};
  return GetLastInputInfo(&info) ? info.dwTime : 0;
}

double counterMicroseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  static const double perSecond = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart);
  }();
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1e6 / perSecond;
}

}  // namespace

Win32KeyboardHook::Win32KeyboardHook(EventLoop& loop, const Clock& clock)
    : loop_(loop), clock_(clock) {}

Win32KeyboardHook::~Win32KeyboardHook() {
  uninstall();
}

bool Win32KeyboardHook::hookNow() {
  hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, reinterpret_cast<HOOKPROC>(&procedure),
                            GetModuleHandleW(nullptr), 0);
  return hook_ != nullptr;
}

// The keys held now, from the system: at installation, and again whenever the hook was gone for
// a while and may have missed keys.
void Win32KeyboardHook::readKeyStates() {
  // The mouse buttons are left alone: each look clears the "pressed since" bit that counts
  // their clicks (Win32KeyState).
  for (int vk = VK_BACK; vk < static_cast<int>(down_.size()); ++vk)
    down_[static_cast<std::size_t>(vk)] = (GetAsyncKeyState(vk) & 0x8000) != 0;
}

void Win32KeyboardHook::keyPassed(std::uint32_t vk, std::uint32_t scanCode, bool extended,
                                  bool up) {
  // The system tells the sides apart by the key itself, not by the code sent: the right Ctrl
  // and Alt keys are the extended ones, the right Shift key has its own scan code.
  if (vk == VK_CONTROL || vk == VK_LCONTROL || vk == VK_RCONTROL)
    vk = extended ? VK_RCONTROL : VK_LCONTROL;
  else if (vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU)
    vk = extended ? VK_RMENU : VK_LMENU;
  else if ((vk == VK_SHIFT || vk == VK_LSHIFT || vk == VK_RSHIFT) && scanCode != 0)
    vk = scanCode == kRightShiftScanCode ? VK_RSHIFT : VK_LSHIFT;
  if (vk >= down_.size()) return;
  down_[vk] = !up;
  // The sided keys move their shared codes too, as in the system's state.
  const auto both = [&](std::size_t shared, std::size_t left, std::size_t right) {
    down_[shared] = down_[left] || down_[right];
  };
  both(VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
  both(VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
  both(VK_MENU, VK_LMENU, VK_RMENU);
}

std::optional<bool> Win32KeyboardHook::keyDown(int vk) const {
  if (!hook_ || !callback_ || vk < 0 || vk >= static_cast<int>(down_.size())) return std::nullopt;
  return down_[static_cast<std::size_t>(vk)];
}

bool Win32KeyboardHook::install(Callback callback) {
  uninstall();
  // Its procedure serves one hook: a second would hand every key to both callbacks.
  if (activeHook) return false;
  callback_ = std::move(callback);
  activeHook = this;
  readKeyStates();
  if (!hookNow()) {
    activeHook = nullptr;
    callback_ = nullptr;
    return false;
  }
  seenInputTick_ = lastInputTick();
  POINT cursor{};
  GetCursorPos(&cursor);
  lastCursorX_ = cursor.x;
  lastCursorY_ = cursor.y;
  watchdog_ = loop_.startTimer(kWatchdogPeriodMs, [this] { watch(); });
  return true;
}

void Win32KeyboardHook::uninstall() {
  if (watchdog_) loop_.stopTimer(watchdog_);
  watchdog_ = 0;
  if (hook_) UnhookWindowsHookEx(static_cast<HHOOK>(hook_));
  hook_ = nullptr;
  callback_ = nullptr;
  if (activeHook == this) activeHook = nullptr;
}

void Win32KeyboardHook::dropForTesting() {
  if (hook_) UnhookWindowsHookEx(static_cast<HHOOK>(hook_));
}

void Win32KeyboardHook::measureCalls(bool on) {
  measuring_ = on;
  if (on) callMicroseconds_.clear();
}

// Keys reach the hook before the system counts them as input, so a last-input time later than
// anything the hook saw, once the hook had time for it, means input the hook did not see. The mouse
// moves it too: input while the cursor moved is taken for the mouse's. What is left (keys,
// clicks, the wheel with the cursor still) reinstalls the hook; a click costs a needless
// reinstall, which is harmless.
void Win32KeyboardHook::watch() {
  if (!callback_) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  const bool cursorMoved = cursor.x != lastCursorX_ || cursor.y != lastCursorY_;
  lastCursorX_ = cursor.x;
  lastCursorY_ = cursor.y;
  const std::uint32_t input = lastInputTick();
  if (static_cast<std::int32_t>(input - seenInputTick_) <= kClockSlackMs) return;
  if (GetTickCount() - input < kUnseenInputMarginMs) return;  // the hook may not have had its turn
  seenInputTick_ = input;
  if (cursorMoved) return;
  if (hook_) UnhookWindowsHookEx(static_cast<HHOOK>(hook_));
  hook_ = nullptr;
  readKeyStates();
  if (hookNow()) ++reinstalls_;
}

std::intptr_t __stdcall Win32KeyboardHook::procedure(int code, std::uintptr_t message,
                                                     std::intptr_t data) {
  Win32KeyboardHook* self = activeHook;
  if (code == HC_ACTION && self && self->callback_) {
    LARGE_INTEGER start{};
    if (self->measuring_) QueryPerformanceCounter(&start);
    const bool swallow = self->handle(message, reinterpret_cast<const void*>(data));
    if (self->measuring_) {
      LARGE_INTEGER end;
      QueryPerformanceCounter(&end);
      self->callMicroseconds_.push_back(counterMicroseconds(start, end));
    }
    if (swallow) return 1;
  }
  return CallNextHookEx(nullptr, code, static_cast<WPARAM>(message), static_cast<LPARAM>(data));
}

bool Win32KeyboardHook::handle(std::uintptr_t message, const void* info) {
  const auto& key = *static_cast<const KBDLLHOOKSTRUCT*>(info);
  seenInputTick_ = key.time;
  const bool up = (key.flags & LLKHF_UP) || message == WM_KEYUP || message == WM_SYSKEYUP;
  if ((key.flags & LLKHF_INJECTED) && isOwnInput(key.dwExtraInfo)) {
    if (isLastOfBatch(key.dwExtraInfo)) lastOwnBatch_ = ownInputBatch(key.dwExtraInfo);
    keyPassed(key.vkCode, key.scanCode, key.flags & LLKHF_EXTENDED, up);
    return false;
  }
  // Windows marks the keys typed while Alt is down; Wine never does, so the flag follows the
  // Alt keys' state the hook keeps, with an Alt key's own event counted.
  bool altDown = down_[VK_LMENU] || down_[VK_RMENU];
  if (key.vkCode == vk::LMenu) altDown = !up || down_[VK_RMENU];
  if (key.vkCode == vk::RMenu) altDown = !up || down_[VK_LMENU];
  if (key.vkCode == vk::Menu) altDown = !up;
  HookKeyEvent event;
  event.vkCode = key.vkCode;
  event.scanCode = key.scanCode;
  event.flags = key.flags;
  if (altDown) event.flags |= kHookAltDown;
  event.time = key.time;
  event.extraInfo = key.dwExtraInfo;
  const bool swallow = callback_(event);
  if (!swallow) keyPassed(key.vkCode, key.scanCode, key.flags & LLKHF_EXTENDED, up);
  return swallow;
}

}  // namespace qb::platform::win32
