#pragma once
// The input primitives both executors act through, and the program-wide state of the data-file
// command. One instance lives as long as the program.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop.h"
#include "script/wmouse.h"

namespace qb {

class ModuleData {
 public:
  explicit ModuleData(platform::Desktop& desktop);

  platform::Desktop& desktop() { return desktop_; }
  WMouse& mouse() { return mouse_; }

  // Returns once `ms` milliseconds have passed, turning the event loop meanwhile. 0 or less
  // returns at once.
  void WaitMs(std::int64_t ms);
  // The same, to an absolute deadline of the monotonic clock.
  void WaitUntil(platform::Ms deadline);

  void SetMousePos(int x, int y);
  void LeftClick();
  void RightClick();
  void LeftDown();
  void LeftUp();
  void RightDown();
  void RightUp();
  // False when the key string is not in the send-keys grammar; nothing is sent then.
  bool SendKeyString(std::string_view keys, bool waitUntilProcessed);

  // A stopped play lets go of every button it pressed and had not released.
  void ReleaseHeldButtons();

  // The next line of the data file: the first file read stays the data for the program's life
  // and its lines are handed out in order. Empty when the file cannot be read (it is tried
  // again next time) or every line has been handed out.
  std::optional<std::string> NextDataLine(const std::string& path);

 private:
  void button(platform::MouseButton b, bool down);

  platform::Desktop& desktop_;
  WMouse mouse_;
  bool leftHeld_ = false;
  bool rightHeld_ = false;
  std::vector<std::string> dataLines_;
  bool dataLoaded_ = false;
  std::size_t dataIndex_ = 0;
};

}  // namespace qb
