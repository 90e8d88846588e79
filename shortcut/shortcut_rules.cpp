#include "shortcut/shortcut_rules.h"

#include <algorithm>

#include "common/text.h"

namespace qb {

std::vector<std::string> shortcutLocations(const std::vector<std::string>& specialFolders) {
  std::vector<std::string> locations;
  for (const auto& folder : specialFolders) {
#ifdef _WIN32
    // The shell lists every special folder (fonts, documents, ...): only these take shortcuts.
    const std::string upper = toUpperAscii(folder);
    if (upper.find("START MENU") == std::string::npos && upper.find("DESKTOP") == std::string::npos)
      continue;
#endif
    if (std::find(locations.begin(), locations.end(), folder) == locations.end())
      locations.push_back(folder);
  }
  return locations;
}

std::vector<std::string> shortcutKeys() {
  std::vector<std::string> keys;
  for (char c = 33; c <= 96; ++c) keys.emplace_back(1, c);
  for (int n = 1; n <= 12; ++n) keys.push_back("F" + std::to_string(n));
  return keys;
}

std::string shortcutMacroName(std::string_view fileName) {
  const auto dot = fileName.find('.');
  if (dot == std::string_view::npos) return {};
  return std::string(fileName.substr(0, dot));
}

std::string hotKeyText(bool ctrl, bool shift, bool alt, std::string_view key) {
  std::string text;
  if (ctrl) text += "CTRL+";
  if (shift) text += "SHIFT+";
  if (alt) text += "ALT+";
  text += key;
  return text;
}

bool hotKeyNeedsModifier(bool ctrl, bool shift, bool alt, std::string_view key) {
  // One character, counted in characters: "é" is two bytes of UTF-8.
  std::size_t characters = 0;
  for (const char c : key) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return !ctrl && !shift && !alt && characters == 1;
}

}  // namespace qb
