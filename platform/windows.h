#pragma once
#include <string>
#include <string_view>

#include "common/result.h"

namespace qb::platform {

class Windows {
 public:
  virtual ~Windows() = default;
  // Title of the window in front, as raw as the system gives it.
  virtual std::string foregroundTitle() = 0;
  // Brings to the front the window whose title is `title`, or else the first whose title
  // begins with it. False when none exists.
  virtual bool activate(std::string_view title) = 0;
};

class Processes {
 public:
  virtual ~Processes() = default;
  // Starts a command line in a normal, focused window without waiting for it.
  virtual Result<> start(std::string_view commandLine) = 0;
};

}  // namespace qb::platform
