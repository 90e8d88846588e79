#pragma once
// Settings in an INI-style file, one per user: "[Section]" headers and "key=value" lines.
// Section and key names are compared without regard to case and keep the spelling of their
// first write; values are stored with "\\", CR and LF escaped. Every write rewrites the file
// through a temporary file, so a crash never leaves half a file.

#include <string>
#include <vector>

#include "platform/settings_store.h"

namespace qb::platform {

class IniSettings final : public SettingsStore {
 public:
  // Reads the file; first removes what interrupted rewrites of it left in its folder.
  explicit IniSettings(std::string path);
  std::optional<std::string> read(std::string_view section, std::string_view key) override;
  Result<> write(std::string_view section, std::string_view key, std::string_view value) override;
  const std::string& path() const { return path_; }

 private:
  struct Entry {
    std::string section, key, value;
  };
  void load();
  std::string serialise() const;

  std::string path_;
  std::vector<Entry> entries_;
};

// The settings file of the current user: $XDG_CONFIG_HOME, else ~/.config, +
// /quillbarrow/settings.ini.
std::string defaultSettingsPath();

}  // namespace qb::platform
