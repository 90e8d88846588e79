#pragma once
// Input from outside the program under test, on an X connection of its own. "Physical" keys
// and buttons go through Xvfb's own keyboard and mouse devices (XTestFakeDeviceKeyEvent), which
// are not XTEST devices, so the program sees them as a user's; "injected" ones go through the
// XTEST devices, as another program's synthesised input would. Keys are named by their keysym
// names ("a", "Control_R", "KP_Enter"). The header stays free of Xlib's macros.

#include <string>
#include <utility>
#include <vector>

struct _XDisplay;

namespace qb::x11test {

enum class Source { Physical, Injected };

class InputDriver {
 public:
  explicit InputDriver(const std::string& display);
  ~InputDriver();
  InputDriver(const InputDriver&) = delete;
  InputDriver& operator=(const InputDriver&) = delete;

  // The first keycode with the keysym of this name on any level or group, 0 if none; read
  // fresh from the server.
  int keycode(const std::string& keysymName);
  void key(int keycode, bool down, Source source = Source::Physical);
  void key(const std::string& keysymName, bool down, Source source = Source::Physical);
  void tap(int keycode, Source source = Source::Physical);
  void tap(const std::string& keysymName, Source source = Source::Physical);
  void button(unsigned button, bool down, Source source = Source::Physical);
  // Moves the pointer to a root position, as the user's mouse does.
  void move(int x, int y, Source source = Source::Physical);
  // Brings a top-level window to the front through the window manager, as a task bar does.
  void activate(unsigned long window);
  // Waits until the server has processed everything sent so far.
  void sync();

  // What another client sees of the server.
  std::pair<int, int> pointer();
  std::pair<int, int> toRoot(unsigned long window, int x, int y);
  std::vector<unsigned long> keyboardMapping();
  int lockedGroup();
  bool capsLocked();
  // Taps Caps Lock through the keyboard when it is not in the state asked for.
  void setCapsLock(bool on);
  bool hasWindowState(unsigned long window, const std::string& stateAtom);
  // The process a window says it belongs to (_NET_WM_PID), 0 if it says none.
  int windowProcess(unsigned long window);
  void setAutoRepeat(unsigned delayMs, unsigned intervalMs);
  // Swaps the left and right buttons, as a left-handed user's settings do, or swaps them back.
  void setLeftHanded(bool on);
  // A passive grab of a key without modifiers on the root window, as another program's.
  void grabKey(int keycode, bool grab);

 private:
  _XDisplay* dpy_ = nullptr;
  void* keyboard_ = nullptr;
  void* mouse_ = nullptr;
};

}  // namespace qb::x11test
