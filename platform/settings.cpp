#include "platform/settings.h"

#include <cmath>

#include "common/product.h"
#include "common/text.h"

namespace qb {

std::string Settings::get(std::string_view section, std::string_view key,
                          std::string_view fallback) {
  return desktop_.settings.read(section, key).value_or(std::string(fallback));
}

std::int16_t Settings::getInt16(std::string_view section, std::string_view key,
                                std::int16_t fallback) {
  const double v = getNumber(section, key, fallback);
  const double rounded = std::nearbyint(v);
  if (rounded < -32768 || rounded > 32767) return fallback;
  return static_cast<std::int16_t>(rounded);
}

int Settings::getCheckState(std::string_view section, std::string_view key) {
  const int state = getInt16(section, key, 0);
  return state >= 0 && state <= 2 ? state : 0;
}

double Settings::getNumber(std::string_view section, std::string_view key, double fallback) {
  const auto stored = desktop_.settings.read(section, key);
  if (!stored) return fallback;
  return parseNumeric(*stored).value_or(fallback);
}

bool Settings::put(std::string_view section, std::string_view key, std::string_view value) {
  const auto written = desktop_.settings.write(section, key, value);
  if (written) return true;
  // Said once: a store that cannot be written fails every write the same way.
  if (!failureReported_) {
    failureReported_ = true;
    desktop_.dialogs.messageBox("The settings could not be saved: " + written.message(),
                                kProductTitle, platform::MessageButtons::Ok);
  }
  return false;
}

}  // namespace qb
