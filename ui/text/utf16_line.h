#pragma once
// A line of UTF-8 text in the UTF-16 a toolkit draws and measures, with the byte each UTF-16
// unit came from, so a caret between units maps back to a byte offset and the other way.
// Bytes that are not UTF-8 come out as U+FFFD, one each, as the caret steps over them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qb::ui {

class Utf16Line {
 public:
  Utf16Line() = default;
  explicit Utf16Line(std::string_view utf8);

  const std::u16string& units() const { return units_; }
  std::size_t size() const { return units_.size(); }
  // The byte offset (from the line's start) where unit `unit`'s character begins; size() gives
  // the line's length in bytes.
  std::size_t byteOf(std::size_t unit) const { return bytes_[unit]; }
  // The first unit of the character that holds byte `offset` (the end for the end).
  std::size_t unitOf(std::size_t offset) const;

 private:
  std::u16string units_;
  std::vector<std::uint32_t> bytes_{0};
};

// The UTF-16 of a text, as Utf16Line has it, without the byte map: at most `most` units (a
// pair is never cut).
std::u16string utf16FromUtf8(std::string_view utf8, std::size_t most = std::u16string::npos);
// How many UTF-16 units the text takes.
std::size_t utf16Length(std::string_view utf8);
// UTF-16 units as UTF-8: a surrogate without its partner becomes U+FFFD.
std::string utf8FromUtf16(std::u16string_view units);

}  // namespace qb::ui
