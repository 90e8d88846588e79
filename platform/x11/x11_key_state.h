#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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
  // Counted from XInput2 raw button presses on a connection of its own, which see every
  // press whoever has the pointer grabbed, from the first call on.
  std::uint32_t buttonPresses(int vk) override;
  // A physical key went down or up, as the keyboard hook saw it.
  void noteKey(std::uint16_t vk, bool down);
  // The keys held as of the key event being handled, when there is one: they answer for the
  // keyboard instead of the server's state now.
  void setEventState(std::function<std::optional<bool>(std::uint16_t vk)> state) {
    eventState_ = std::move(state);
  }

 private:
  bool held(int vk);
  void countButtonPresses();

  struct Seen {
    bool heldAtLastQuery = false;
    bool pressedSince = false;
  };
  Connection& connection_;
  std::function<std::optional<bool>(std::uint16_t)> eventState_;
  KeyTranslator translator_;
  unsigned generation_ = ~0u;
  std::unordered_map<int, Seen> seen_;
  std::unique_ptr<Connection> buttons_;
  bool buttonsTried_ = false;
  int xiOpcode_ = 0;
  // Raw events carry the physical button; a left-handed mapping makes it another logical one.
  unsigned char buttonMap_[32] = {};
  int buttonMapSize_ = 0;
  std::uint32_t presses_[3] = {};  // left, middle, right: X buttons 1 to 3
};

}  // namespace qb::platform::x11
