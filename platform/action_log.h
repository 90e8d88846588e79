#pragma once
#include <string_view>

namespace qb::platform {

// Where a desktop records the actions the program performs on it. The simulated desktop keeps
// or prints them; real desktops may ignore them.
class ActionLog {
 public:
  virtual ~ActionLog() = default;
  virtual void record(std::string_view action, std::string_view args) = 0;
};

class NullActionLog final : public ActionLog {
 public:
  void record(std::string_view, std::string_view) override {}
};

}  // namespace qb::platform
