#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

namespace qb::platform {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

class Cursor {
 public:
  virtual ~Cursor() = default;
  // Virtual-desktop pixels; may be negative left of or above the primary screen.
  virtual bool position(Point& out) = 0;
  virtual bool setPosition(Point to) = 0;
};

enum class MouseButton { Left, Right };

class MouseButtons {
 public:
  virtual ~MouseButtons() = default;
  // One button event at the current cursor position, no movement.
  virtual bool press(MouseButton button, bool down) = 0;
};

// One step of a key sequence. Keys are identified by Windows virtual-key codes on every
// platform; a Char step types a character by whatever key produces it.
struct KeyStep {
  enum class Kind : std::uint8_t { Down, Up, Char };
  Kind kind = Kind::Char;
  std::uint16_t vk = 0;  // Down / Up
  char32_t ch = 0;       // Char
  bool operator==(const KeyStep&) const = default;
};
using KeySequence = std::vector<KeyStep>;

class KeySender {
 public:
  virtual ~KeySender() = default;
  // Types `keys` into the window that has the keyboard focus. `text` is the key string they
  // came from. With `waitUntilProcessed` the call returns once the keys have been delivered.
  virtual bool send(const KeySequence& keys, std::string_view text, bool waitUntilProcessed) = 0;
};

// Physical key and button state with GetAsyncKeyState's meaning: 0x8000 held, 0x8001 held
// and newly pressed since the last query, anything else not held.
class KeyState {
 public:
  virtual ~KeyState() = default;
  virtual std::uint16_t asyncKeyState(int vk) = 0;
  // How often a mouse button (vk 1 left, 2 right, 4 middle) has gone down since it was first
  // asked about, however short the press; wraps around. The newly-pressed bit above belongs to
  // whoever queries first, so a reader that must see every press keeps its own last count.
  virtual std::uint32_t buttonPresses(int vk) = 0;
};

}  // namespace qb::platform
