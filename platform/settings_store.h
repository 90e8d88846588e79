#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"

namespace qb::platform {

// The per-user settings of application "Quillbarrow": string values addressed by section and
// key, both compared without regard to case.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::optional<std::string> read(std::string_view section, std::string_view key) = 0;
  virtual Result<> write(std::string_view section, std::string_view key,
                         std::string_view value) = 0;
};

}  // namespace qb::platform
