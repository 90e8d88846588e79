#pragma once
// The markers between a stand-alone program's stub image and its macro. The stub searches its
// own file for them, so its image must not hold them as 8-bit text: they are kept as 16-bit
// literals, whose bytes never form the 8-bit sequence, and narrowed when used.

#include <string>
#include <string_view>

namespace qb {

inline constexpr std::u16string_view kRecordedMarkerWide = u"::::-Quillbarrow-::::";
inline constexpr std::u16string_view kAdvancedMarkerWide = u"::::-Quillbarrow-AM-::::";

inline std::string narrowMarker(std::u16string_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (const char16_t c : wide) out += static_cast<char>(c);
  return out;
}

}  // namespace qb
