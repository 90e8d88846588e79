#pragma once
// The settings store under HKEY_CURRENT_USER: one key per section below the program's key, one
// string value per setting. The registry compares key and value names without regard to case,
// as the store must.

#include <string>

#include "platform/settings_store.h"

namespace qb::platform::win32 {

inline constexpr std::string_view kProgramRegistryKey = "Software\\Quillbarrow";

class RegistrySettings final : public SettingsStore {
 public:
  // `programKey` below HKEY_CURRENT_USER; tests give their own.
  explicit RegistrySettings(std::string programKey = std::string(kProgramRegistryKey));
  std::optional<std::string> read(std::string_view section, std::string_view key) override;
  Result<> write(std::string_view section, std::string_view key, std::string_view value) override;
  // Removes the program's key and everything below it (tests).
  void removeAll();

 private:
  std::string sectionKey(std::string_view section) const;
  std::string programKey_;
};

}  // namespace qb::platform::win32
