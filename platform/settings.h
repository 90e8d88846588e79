#pragma once
// The program's side of the settings store: defaults on read, the conversions the callers
// make, and one message when the store cannot be written.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/desktop.h"

namespace qb {

class Settings {
 public:
  explicit Settings(platform::Desktop& desktop) : desktop_(desktop) {}
  std::string get(std::string_view section, std::string_view key, std::string_view fallback = "");
  // A value that is not a number (a hand-edited or damaged store) reads as the default.
  std::int16_t getInt16(std::string_view section, std::string_view key, std::int16_t fallback = 0);
  // A check box's stored state: 0, 1 or 2 (greyed); anything else reads as 0 (clear).
  int getCheckState(std::string_view section, std::string_view key);
  double getNumber(std::string_view section, std::string_view key, double fallback = 0);
  bool put(std::string_view section, std::string_view key, std::string_view value);

 private:
  platform::Desktop& desktop_;
  bool failureReported_ = false;
};

}  // namespace qb
