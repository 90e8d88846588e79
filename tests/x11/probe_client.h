#pragma once
// A test window in a process of its own (qb_x11_probe), and what it logged.

#include <sys/types.h>

#include <string>
#include <vector>

namespace qb::x11test {

struct ProbeEvent {
  std::string kind;  // "ready", "focus-in", "key-press", "button-press", "mapping", ...
  std::vector<std::string> fields;
  // Key presses: the text the key typed; pastes: the text pasted; decoded from the log's hex.
  std::string text() const;
};

class ProbeWindow {
 public:
  // Starts the window on $DISPLAY with its log in `folder`.
  ProbeWindow(const std::string& folder, const std::string& title,
              std::vector<std::string> options = {});
  ~ProbeWindow();
  ProbeWindow(const ProbeWindow&) = delete;
  ProbeWindow& operator=(const ProbeWindow&) = delete;

  std::vector<ProbeEvent> events() const;
  std::size_t count(const std::string& kind) const;
  // The text of all key presses so far.
  std::string typed() const;
  // The texts of all pastes so far, one per paste.
  std::vector<std::string> pastes() const;
  // Key presses of this keysym name.
  std::size_t presses(const std::string& keysym) const;
  unsigned long window() const;
  // Waits (processing Qt's events) until the window is mapped and has the focus.
  bool waitFocused();

 private:
  std::string log_;
  pid_t pid_ = -1;
};

}  // namespace qb::x11test
