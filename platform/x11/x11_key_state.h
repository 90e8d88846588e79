#pragma once
#include <cstdint>
#include <unordered_map>

#include "platform/input.h"
#include "platform/x11/key_translator.h"
#include "platform/x11/x11_connection.h"

namespace qb::platform::x11 {

// GetAsyncKeyState on X11: held keys from XQueryKeymap (left and right modifiers told apart by
// their keycodes), mouse buttons from the pointer's state. "Newly pressed" means pressed since
// the last query of that key: seen as up at the previous query, or reported by the keyboard
// hook in between (which catches a press and release between two queries).
class X11KeyState final : public KeyState {
 public:
  explicit X11KeyState(Connection& connection) : connection_(connection) {}
  std::uint16_t asyncKeyState(int vk) override;
  // A physical key went down or up, as the keyboard hook saw it.
  void noteKey(std::uint16_t vk, bool down);

 private:
  bool held(int vk);

  struct Seen {
    bool heldAtLastQuery = false;
    bool pressedSince = false;
  };
  Connection& connection_;
  KeyTranslator translator_;
  unsigned generation_ = ~0u;
  std::unordered_map<int, Seen> seen_;
};

}  // namespace qb::platform::x11
