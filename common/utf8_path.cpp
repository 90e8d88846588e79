#include "common/utf8_path.h"

#include <type_traits>

#include "common/text.h"

namespace qb {
namespace fs = std::filesystem;

namespace {

// Linux: names are bytes, returned as they are.
[[maybe_unused]] std::string utf8FromNative(const std::string& native) {
  return native;
}

// Windows names are UTF-16 and may hold unpaired surrogates, which the standard conversion
// refuses with an exception; this one never fails.
[[maybe_unused]] std::string utf8FromNative(std::wstring_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const auto unit = static_cast<char32_t>(wide[i]);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < wide.size()) {
      const auto low = static_cast<char32_t>(wide[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    appendUtf8(out, unit);  // a lone surrogate becomes U+FFFD
  }
  return out;
}

}  // namespace

fs::path pathFromUtf8(std::string_view utf8) {
  if constexpr (std::is_same_v<fs::path::value_type, char>) {
    // Linux: no conversion, so names that are not UTF-8 keep working as before.
    return fs::path(std::string(utf8));
  } else {
    const std::u8string text(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size());
    try {
      return fs::path(text);
    } catch (const std::exception&) {
      return fs::path(std::string(utf8));
    }
  }
}

std::string utf8FromPath(const fs::path& path) {
  return utf8FromNative(path.native());
}

}  // namespace qb
