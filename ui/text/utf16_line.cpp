#include "ui/text/utf16_line.h"

#include <algorithm>

#include "common/text.h"

namespace qb::ui {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The character at `at` and its length in bytes; a byte that does not begin a well-formed
// sequence is a character of its own, U+FFFD.
std::pair<char32_t, std::size_t> decode(std::string_view s, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t c = 0, least = 0;
  if (lead >= 0xC2 && lead <= 0xDF)
    length = 2, c = lead & 0x1F, least = 0x80;
  else if (lead >= 0xE0 && lead <= 0xEF)
    length = 3, c = lead & 0x0F, least = 0x800;
  else if (lead >= 0xF0 && lead <= 0xF4)
    length = 4, c = lead & 0x07, least = 0x10000;
  else
    return {kReplacement, 1};
  if (at + length > s.size()) return {kReplacement, 1};
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return {kReplacement, 1};
    c = (c << 6) | (byte(at + i) & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {kReplacement, 1};
  return {c, length};
}

}  // namespace

Utf16Line::Utf16Line(std::string_view utf8) {
  units_.reserve(utf8.size());
  bytes_.clear();
  bytes_.reserve(utf8.size() + 1);
  for (std::size_t at = 0; at < utf8.size();) {
    const auto [c, length] = decode(utf8, at);
    const auto start = static_cast<std::uint32_t>(at);
    if (c >= 0x10000) {
      units_ += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      units_ += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      bytes_.push_back(start);
    } else {
      units_ += static_cast<char16_t>(c);
    }
    bytes_.push_back(start);
    at += length;
  }
  bytes_.push_back(static_cast<std::uint32_t>(utf8.size()));
}

std::size_t Utf16Line::unitOf(std::size_t offset) const {
  // The last unit that begins at or before the offset, then back to its character's first unit.
  auto found = std::upper_bound(bytes_.begin(), bytes_.end(), offset);
  std::size_t unit = static_cast<std::size_t>(found - bytes_.begin());
  unit = unit == 0 ? 0 : unit - 1;
  while (unit > 0 && unit < units_.size() && bytes_[unit - 1] == bytes_[unit]) --unit;
  return unit;
}

std::u16string utf16FromUtf8(std::string_view utf8, std::size_t most) {
  std::u16string units;
  units.reserve(std::min(utf8.size(), most));
  for (std::size_t at = 0; at < utf8.size();) {
    const auto [c, length] = decode(utf8, at);
    if (c >= 0x10000) {
      if (units.size() + 2 > most) break;
      units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      if (units.size() + 1 > most) break;
      units += static_cast<char16_t>(c);
    }
    at += length;
  }
  return units;
}

std::size_t utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  for (std::size_t at = 0; at < utf8.size();) {
    if (static_cast<unsigned char>(utf8[at]) < 0x80) {  // the common case, without decoding
      ++units, ++at;
      continue;
    }
    const auto [c, length] = decode(utf8, at);
    units += c >= 0x10000 ? 2 : 1;
    at += length;
  }
  return units;
}

std::string utf8FromUtf16(std::u16string_view units) {
  std::string out;
  out.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char32_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else {
      appendUtf8(out, u);  // a lone surrogate becomes U+FFFD there
    }
  }
  return out;
}

}  // namespace qb::ui
