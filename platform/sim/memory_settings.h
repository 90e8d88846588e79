#pragma once
#include <map>
#include <string>

#include "common/text.h"
#include "platform/settings_store.h"

namespace qb::platform::sim {

// Settings kept in memory, with the store's case-insensitive section and key names.
class MemorySettings final : public SettingsStore {
 public:
  std::optional<std::string> read(std::string_view section, std::string_view key) override {
    const auto it = values_.find(keyOf(section, key));
    if (it == values_.end()) return std::nullopt;
    return it->second;
  }
  Result<> write(std::string_view section, std::string_view key, std::string_view value) override {
    if (failWrites_) return fail("the settings store is not writable");
    values_[keyOf(section, key)] = value;
    ++writes_;
    return {};
  }
  void failWrites(bool on) { failWrites_ = on; }
  int writes() const { return writes_; }
  const std::map<std::string, std::string>& all() const { return values_; }

 private:
  static std::string keyOf(std::string_view section, std::string_view key) {
    return toLowerAscii(section) + "\\" + toLowerAscii(key);
  }
  std::map<std::string, std::string> values_;
  bool failWrites_ = false;
  int writes_ = 0;
};

}  // namespace qb::platform::sim
