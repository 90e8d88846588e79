#include "platform/win32/win32_key_sender.h"

#include <windows.h>

#include <chrono>

#include "platform/virtual_keys.h"
#include "platform/win32/own_input.h"
#include "platform/win32/sent_messages.h"
#include "platform/win32/win32_keyboard_hook.h"

namespace qb::platform::win32 {
namespace {

constexpr DWORD kProcessedTimeoutMs = 5000;

// Keys that Windows reports with the extended flag: the navigation block, the right-hand
// modifiers, the keypad's Divide and Enter share codes with others.
bool isExtended(std::uint16_t vk) {
  switch (vk) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_SNAPSHOT:
    case VK_CANCEL:
      return true;
    default:
      return false;
  }
}

KeyInput keyEvent(std::uint16_t vk, bool up) {
  KeyInput input;
  input.vk = vk;
  input.scan = static_cast<std::uint16_t>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  input.up = up;
  input.extended = isExtended(vk);
  return input;
}

void addUnicode(std::vector<KeyInput>& out, char32_t ch) {
  std::uint16_t units[2];
  int count = 1;
  if (ch >= 0x10000) {
    const char32_t v = ch - 0x10000;
    units[0] = static_cast<std::uint16_t>(0xD800 + (v >> 10));
    units[1] = static_cast<std::uint16_t>(0xDC00 + (v & 0x3FF));
    count = 2;
  } else {
    units[0] = static_cast<std::uint16_t>(ch);
  }
  for (const bool up : {false, true})
    for (int i = 0; i < count; ++i) {
      KeyInput input;
      input.unicode = units[i];
      input.up = up;
      out.push_back(input);
    }
}

}  // namespace

std::vector<KeyInput> keyInputs(const KeySequence& keys, void* layout) {
  std::vector<KeyInput> out;
  bool shiftHeld = false, ctrlHeld = false, altHeld = false;
  for (const KeyStep& step : keys) {
    if (step.kind != KeyStep::Kind::Char) {
      const bool up = step.kind == KeyStep::Kind::Up;
      if (step.vk == vk::Shift || step.vk == vk::LShift || step.vk == vk::RShift) shiftHeld = !up;
      if (step.vk == vk::Control || step.vk == vk::LControl || step.vk == vk::RControl)
        ctrlHeld = !up;
      if (step.vk == vk::Menu || step.vk == vk::LMenu || step.vk == vk::RMenu) altHeld = !up;
      out.push_back(keyEvent(step.vk, up));
      continue;
    }
    const char32_t ch = step.ch;
    SHORT scan = -1;
    if (ch < 0x10000) scan = VkKeyScanExW(static_cast<WCHAR>(ch), static_cast<HKL>(layout));
    const int modifiers = scan == -1 ? -1 : (scan >> 8) & 0xff;
    // A key of the layout with no modifier or with Shift; AltGr characters (Ctrl+Alt on the
    // layout) go as Unicode, unless Ctrl or Alt is held for a shortcut anyway.
    const bool onLayout = modifiers == 0 || modifiers == 1 ||
                          (modifiers > 1 && modifiers != -1 && (ctrlHeld || altHeld));
    if (!onLayout) {
      addUnicode(out, ch);
      continue;
    }
    const auto vk = static_cast<std::uint16_t>(scan & 0xff);
    const bool needShift = (modifiers & 1) != 0 && !shiftHeld;
    if (needShift) out.push_back(keyEvent(VK_SHIFT, false));
    out.push_back(keyEvent(vk, false));
    out.push_back(keyEvent(vk, true));
    if (needShift) out.push_back(keyEvent(VK_SHIFT, true));
  }
  return out;
}

bool Win32KeySender::send(const KeySequence& keys, std::string_view, bool waitUntilProcessed) {
  if (keys.empty()) return true;
  HWND foreground = GetForegroundWindow();
  HKL layout = GetKeyboardLayout(foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0);
  const std::vector<KeyInput> events = keyInputs(keys, layout);
  const std::uint32_t batch = ++batch_ & 0x7fffffff;
  std::vector<INPUT> inputs(events.size());
  for (std::size_t i = 0; i < events.size(); ++i) {
    INPUT& input = inputs[i];
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = events[i].vk;
    input.ki.wScan = events[i].unicode ? events[i].unicode : events[i].scan;
    input.ki.dwFlags = (events[i].unicode ? KEYEVENTF_UNICODE : 0) |
                       (events[i].up ? KEYEVENTF_KEYUP : 0) |
                       (events[i].extended ? KEYEVENTF_EXTENDEDKEY : 0);
    input.ki.dwExtraInfo = ownInputInfo(batch, i + 1 == events.size());
  }
  const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (sent != inputs.size()) return false;
  if (waitUntilProcessed) {
    // Each key event becomes a message, and each key press may add a character message.
    std::size_t messages = events.size();
    for (const KeyInput& event : events)
      if (!event.up) ++messages;
    this->waitUntilProcessed(batch, messages);
  }
  return true;
}

void Win32KeySender::waitUntilProcessed(std::uint32_t batch, std::size_t messages) {
  const ULONGLONG deadline = GetTickCount64() + kProcessedTimeoutMs;
  // The hook's calls come to this thread as sent messages: let them in, and nothing else.
  while (hook_ && hook_->installed() && hook_->lastOwnBatch() != batch &&
         GetTickCount64() < deadline)
    waitLettingSentMessagesIn(1);
  HWND foreground = GetForegroundWindow();
  if (!foreground) return;
  // A thread answers a sent message each time it asks for its next message, before it takes
  // one: one answer more than the keys made messages comes only after the last of them was
  // handled. A thread already idle answers at once.
  for (std::size_t i = 0; i <= messages && GetTickCount64() < deadline; ++i) {
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(foreground, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                             kProcessedTimeoutMs, &ignored))
      break;
  }
}

}  // namespace qb::platform::win32
