#pragma once
// The low-level keyboard hook (WH_KEYBOARD_LL). Its procedure runs on the thread that installed
// it, inside that thread's message wait: it hands each key to the callback, which decides and
// returns at once (Windows removes, without a word, a hook that answers slowly). This program's
// own input passes without a call. A watchdog installs the hook again when it has stopped
// seeing keys while the system's last-input time moves on.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/keyboard_hook_source.h"

namespace qb::platform::win32 {

class Win32KeyboardHook final : public KeyboardHookSource {
 public:
  Win32KeyboardHook(EventLoop& loop, const Clock& clock);
  ~Win32KeyboardHook() override;
  Win32KeyboardHook(const Win32KeyboardHook&) = delete;
  Win32KeyboardHook& operator=(const Win32KeyboardHook&) = delete;

  bool install(Callback callback) override;
  void uninstall() override;

  bool installed() const { return hook_ != nullptr; }
  // The batch number of the last of this program's own keys the hook let pass.
  std::uint32_t lastOwnBatch() const { return lastOwnBatch_; }
  // Whether a key is down, as the keys the hook let pass left it (the system's own state
  // follows the same keys: a swallowed key does not change it); nothing while no hook runs.
  // Inside the hook's call it is the state before the key being decided, as the system's is.
  std::optional<bool> keyDown(int vk) const;
  // How often the watchdog found the hook gone and installed it again.
  int reinstalls() const { return reinstalls_; }
  // Removes the hook behind the watchdog's back, as Windows does with a slow hook (tests).
  void dropForTesting();
  // The time each call of the procedure took, in microseconds, while `on` (benchmarks).
  void measureCalls(bool on);
  const std::vector<double>& callMicroseconds() const { return callMicroseconds_; }

 private:
  static std::intptr_t __stdcall procedure(int code, std::uintptr_t message, std::intptr_t data);
  bool handle(std::uintptr_t message, const void* info);
  bool hookNow();
  void readKeyStates();
  void keyPassed(std::uint32_t vk, std::uint32_t scanCode, bool extended, bool up);
  void watch();

  EventLoop& loop_;
  const Clock& clock_;
  Callback callback_;
  void* hook_ = nullptr;
  TimerId watchdog_ = 0;
  // The last-input time (GetLastInputInfo) the hook is known to have seen up to.
  std::uint32_t seenInputTick_ = 0;
  long lastCursorX_ = 0, lastCursorY_ = 0;
  int reinstalls_ = 0;
  std::uint32_t lastOwnBatch_ = 0;
  std::array<bool, 256> down_{};
  bool measuring_ = false;
  std::vector<double> callMicroseconds_;
};

}  // namespace qb::platform::win32
