#include "record/keyboard_hook.h"

#include "common/text.h"
#include "platform/virtual_keys.h"
#include "record/key_tokens.h"
#include "script/macro_text.h"

namespace qb {

namespace {

namespace vk = platform::vk;

using platform::kHookAltDown;
using platform::kHookExtended;
using platform::kHookUp;

constexpr std::uint32_t kDown = 0;

}  // namespace

bool KeyboardHook::InstallKeyHook() {
  if (installed_) return true;
  installed_ = desktop_.hook.install(
      [this](const platform::HookKeyEvent& event) { return KeyHookProc(event); });
  updateSwallowable();
  return installed_;
}

bool KeyboardHook::RemoveKeyHook() {
  if (!installed_) return false;
  desktop_.hook.uninstall();
  installed_ = false;
  announced_.reset();  // a new hook starts with nothing claimed
  return true;
}

bool KeyboardHook::held(int vk) {
  return (desktop_.keyState.asyncKeyState(vk) & 0x8000) != 0;
}

bool KeyboardHook::recording() const {
  return host_.isRecording();
}

bool KeyboardHook::busy() const {
  return host_.isPlaying() || pendingPlays_ > 0;
}

void KeyboardHook::trackModifiers(const platform::HookKeyEvent& event) {
  const std::uint32_t flags = event.flags;
  switch (event.vkCode) {
    case vk::LShift:
      if (flags == kDown) ShiftHeld = -1;
      if (flags == kHookUp) ShiftHeld = 0;
      break;
    case vk::RShift:
      if (flags == kHookExtended) ShiftHeld = -1;
      if (flags == (kHookUp | kHookExtended)) ShiftHeld = 0;
      break;
    case vk::LControl:
      if (flags == kDown) CtrlHeld = -1;
      if (flags == kHookUp) CtrlHeld = 0;
      break;
    case vk::RControl:
      if (flags == kHookExtended) CtrlHeld = -1;
      if (flags == (kHookUp | kHookExtended)) CtrlHeld = 0;
      break;
  }
}

void KeyboardHook::later(std::function<void()> task, bool startsPlay) {
  ++pending_;
  if (startsPlay && pendingPlays_++ == 0) updateSwallowable();
  desktop_.loop.post([this, task = std::move(task), startsPlay] {
    --pending_;
    if (startsPlay) --pendingPlays_;
    task();
    // A play that was refused or has ended leaves the hook idle again.
    if (startsPlay) updateSwallowable();
  });
}

void KeyboardHook::requestStop() {
  host_.requestStop();
  // A play posted before this key clears the request when it starts; asking again behind it
  // stops that play too, as if it had already been running.
  if (pending_ > 0) later([this] { host_.requestStop(); }, false);
}

bool KeyboardHook::KeyHookProc(const platform::HookKeyEvent& event) {
  const std::uint32_t key = event.vkCode;
  const std::uint32_t flags = event.flags;
  trackModifiers(event);

  // A shortcut held down repeats: its repeats and its release are swallowed as its press was
  // and start nothing more, so a held Left Ctrl+R records once, and the window in front sees
  // nothing of the key even once the play a held Ctrl+P started runs.
  if (heldShortcut_ != 0) {
    const bool up = (flags & kHookUp) != 0;
    if (key == heldShortcut_) {
      if (up) {
        heldShortcut_ = 0;
        updateSwallowable();
      }
      return true;
    }
    if (!up) {
      heldShortcut_ = 0;
      updateSwallowable();
    }
  }

  if (key == vk::Pause || (key == 'T' && flags == kDown && held(vk::LControl))) requestStop();
  if (busy()) return false;

  if (key == vk::Oem3 && flags == kDown && (held(vk::LControl) || held(vk::RControl)))
    host_.markBreak();  // this key itself still goes on below

  if (flags == kDown && (key == 'R' || key == 'T' || key == 'P' || key == 'Y') &&
      held(vk::LControl)) {
    const RecordTrigger which = key == 'R'   ? RecordTrigger::Record
                                : key == 'T' ? RecordTrigger::Stop
                                             : RecordTrigger::Play;
    later([this, which,
           stamp = host_.triggerStamp()]() mutable { host_.pressTrigger(which, std::move(stamp)); },
          which == RecordTrigger::Play);
    heldShortcut_ = key;
    return true;
  }

  if (key >= vk::F1 && key <= vk::F12 && flags == kDown) {
    const int row = static_cast<int>(key - vk::F1) + 1;
    std::optional<FunctionKeyPress> press = host_.aimFunctionKey(row, held(vk::LControl));
    if (!press) return false;
    const bool plays = press->plays;
    later(std::move(press->run), plays);
    return true;
  }

  if (pending_ > 0) {
    // A Record or Stop posted before this key decides whether it is recorded, so the line
    // waits behind it; the modifiers and the time are taken now.
    if (std::optional<std::string> line = keyLine(event))
      later(
          [this, line = std::move(*line)] {
            if (recording()) appendInOrder(line);
          },
          false);
    return false;
  }
  if (!recording()) return false;
  if (std::optional<std::string> line = keyLine(event)) appendInOrder(*line);
  return false;
}

void KeyboardHook::appendInOrder(std::string line) {
  // A key handled late carries its own, earlier moment; a sampler line appended meanwhile is
  // later. The player would play that step back as a pause, so the key takes the line's moment.
  const std::string_view before = host_.recordedText();
  std::string_view last = before.substr(0, before.size() >= 2 ? before.size() - 2 : 0);
  if (const std::size_t newline = last.rfind('\n'); newline != std::string_view::npos)
    last.remove_prefix(newline + 1);
  const std::string_view own = std::string_view(line).substr(0, line.size() - kCrLf.size());
  const auto previous = splitTimeStamp(last);
  const auto current = splitTimeStamp(own);
  if (previous && current && stampStep(previous->stamp, current->stamp) < 0)
    line = std::string(own.substr(0, current->separator + 1)) + std::to_string(previous->stamp) +
           std::string(kCrLf);
  host_.appendRecorded(line);
}

std::optional<std::string> KeyboardHook::keyLine(const platform::HookKeyEvent& event) {
  const std::uint32_t key = event.vkCode;
  const std::uint32_t flags = event.flags;
  const std::string token = KeyToken(static_cast<std::uint16_t>(key));
  std::string line;
  if (held(vk::LMenu) && key != vk::LMenu && flags == kHookAltDown) {
    line = "w:%" + token;
  } else if ((held(vk::LShift) && key != vk::LShift && flags == kDown) ||
             (held(vk::RShift) && key != vk::RShift && flags == kDown)) {
    line = "w:+" + token;
  } else if ((held(vk::LControl) && key != vk::LControl && flags == kDown) ||
             (held(vk::RControl) && key != vk::RControl && flags == kHookExtended)) {
    if (key == vk::LShift) return std::nullopt;
    line = "w:^" + token;
  } else {
    if (key >= vk::LShift && key <= vk::LMenu) return std::nullopt;
    if (flags != kDown && flags != kHookExtended) return std::nullopt;
    std::string refined = token;
    if (const KeyTokenRow* row = findKeyToken(static_cast<std::uint16_t>(key));
        row && row->takesTrackedModifiers) {
      if (ShiftHeld == -1) refined.insert(0, "+");
      if (CtrlHeld == -1) refined.insert(0, "^");
    }
    line = "w:" + refined;
  }
  line += '-';
  // The key's own moment, so a busy program does not put a pause before it that the person
  // never made; a desktop that cannot tell leaves the moment it is handled.
  line += std::to_string(event.time != 0 ? static_cast<std::int32_t>(event.time)
                                         : platform::tickCount(desktop_.clock.now()));
  line += kCrLf;
  return line;
}

std::string KeyboardHook::KeyToken(std::uint16_t vk) {
  if (const KeyTokenRow* row = findKeyToken(vk)) return std::string(row->token);
  // Any other key: the character of that code in the 8-bit code page, whatever it is.
  return std::string{'{', static_cast<char>(vk & 0xFF), '}'};
}

void KeyboardHook::updateSwallowable() {
  if (!installed_) return;
  std::vector<platform::SwallowableKey> keys;
  if (!busy()) {
    for (const char letter : {'R', 'T', 'P', 'Y'})
      keys.push_back({static_cast<std::uint32_t>(letter), true});
    for (int n = 1; n <= kFunctionKeys; ++n) {
      if (!host_.functionKeySet(n)) continue;
      const auto fkey = static_cast<std::uint32_t>(vk::F1 + n - 1);
      if (!host_.functionKeyNeedsCtrl(n)) keys.push_back({fkey, false});
      keys.push_back({fkey, true});
    }
  } else if (heldShortcut_ != 0) {
    keys.push_back({heldShortcut_, true});
  }
  if (announced_ == keys) return;
  announced_ = keys;
  desktop_.hook.setSwallowable(std::move(keys));
}

}  // namespace qb
