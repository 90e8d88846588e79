#pragma once
#include <cstdint>
#include <functional>
#include <vector>

namespace qb::platform {

// One key event as a system-wide low-level keyboard hook sees it (KBDLLHOOKSTRUCT).
struct HookKeyEvent {
  std::uint32_t vkCode = 0;
  std::uint32_t scanCode = 0;
  std::uint32_t flags = 0;  // 0x01 extended, 0x10 injected, 0x20 Alt down, 0x80 key up
  // When the key went down or up, on the tick count's clock (GetTickCount); 0 where the
  // desktop cannot tell.
  std::uint32_t time = 0;
  std::uintptr_t extraInfo = 0;
};

inline constexpr std::uint32_t kHookExtended = 0x01, kHookInjected = 0x10, kHookAltDown = 0x20,
                               kHookUp = 0x80;

// A key the hook may decide to swallow in the program's current state: the virtual key alone,
// or with the left Ctrl key held.
struct SwallowableKey {
  std::uint32_t vkCode = 0;
  bool withLeftCtrl = false;
  bool operator==(const SwallowableKey&) const = default;
};

// Delivers every key event of the whole desktop to one callback on the user-interface thread.
// The callback answers at once: true swallows the key, false lets it pass.
class KeyboardHookSource {
 public:
  using Callback = std::function<bool(const HookKeyEvent&)>;
  virtual ~KeyboardHookSource() = default;
  virtual bool install(Callback callback) = 0;
  virtual void uninstall() = 0;
  // The keys the callback may swallow from now on. A desktop that has to claim keys before it
  // sees them (X11 grabs) claims exactly these; one that sees every key first ignores this.
  virtual void setSwallowable(std::vector<SwallowableKey> keys) { (void)keys; }
};

}  // namespace qb::platform
