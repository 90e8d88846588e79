// The settings file: any file content loads, a value written reads back the same (at once and
// after the file is read again), and a write leaves every other setting as it was.
//
// Input: the value, the section and key names (drawn from the ones the program uses, or made
// of name characters), then the settings file's content.

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "common/text.h"
#include "fuzz_support.h"
#include "platform/ini_settings.h"

namespace {

using qb::fuzz::printable;
using qb::fuzz::require;

constexpr std::array kSections{"Options", "options", "HOTKEYS", "Hotkeys", "Builder"};
constexpr std::array kKeys{"Location", "LOCATION", "Speed",     "OnTop",
                           "text1-12", "Check4-7", "check1-12", "SessionLimitsShown"};

// A section or key name: one the program uses, or letters, digits, blanks, "-", "_" and ".".
std::string name(FuzzedDataProvider& input, const char* const* known, std::size_t knownCount) {
  if (input.ConsumeBool())
    return known[input.ConsumeIntegralInRange<std::size_t>(0, knownCount - 1)];
  std::string made;
  for (const char c : input.ConsumeRandomLengthString(24))
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
        c == '-' || c == '_' || c == '.')
      made += c;
  return made.empty() ? std::string("Options") : made;
}

// The section and key names the file mentions (a few of each): what a write must not disturb.
void namesInFile(std::string_view content, std::vector<std::string>& sections,
                 std::vector<std::string>& keys) {
  while (!content.empty()) {
    const auto newline = content.find('\n');
    std::string_view line = content.substr(0, newline);
    content = newline == std::string_view::npos ? std::string_view{} : content.substr(newline + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      if (sections.size() < 8) sections.emplace_back(line.substr(1, line.size() - 2));
    } else if (const auto eq = line.find('='); eq != std::string_view::npos && keys.size() < 8) {
      keys.emplace_back(line.substr(0, eq));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qb::fuzz::scratchFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string value = input.ConsumeRandomLengthString(256);
  const std::string section = name(input, kSections.data(), kSections.size());
  const std::string key = name(input, kKeys.data(), kKeys.size());
  const std::string content = input.ConsumeRemainingBytesAsString();

  const std::string path = qb::fuzz::scratchFolder() + "/settings.ini";
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;

  std::vector<std::string> sections{section}, keys{key};
  namesInFile(content, sections, keys);
  struct Probe {
    std::string section, key;
    std::optional<std::string> value;
  };
  std::vector<Probe> before;
  qb::platform::IniSettings settings(path);
  for (const auto& s : sections)
    for (const auto& k : keys)
      if (!(qb::equalsNoCase(s, section) && qb::equalsNoCase(k, key)))
        before.push_back(Probe{s, k, settings.read(s, k)});

  const auto written = settings.write(section, key, value);
  require(written.ok(), "a setting cannot be written", written.ok() ? "" : written.message());
  const std::string detail = "[" + section + "] " + key + " = " + printable(value) + " in file " +
                             printable(content.substr(0, 300));
  require(settings.read(section, key) == value, "a written setting reads back changed", detail);

  qb::platform::IniSettings reread(path);
  require(reread.read(section, key) == value, "a written setting reads back changed from the file",
          detail);
  // Names compare without regard to case, in either store.
  require(reread.read(qb::toUpperAscii(section), qb::toLowerAscii(key)) == value,
          "a setting is not found under another letter case", detail);
  for (const auto& p : before)
    require(reread.read(p.section, p.key) == p.value, "a write changed another setting",
            "[" + printable(p.section) + "] " + printable(p.key) + " after writing " + detail);
  return 0;
}
