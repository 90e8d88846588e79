#pragma once
// A long macro as a recording holds it, for the tests of big macros: moves, keys, clicks and
// drags, 10 ms apart, every position inside the 100 by 100 pixels from (left, top); the last
// line is "w:{enter}".

#include <cstddef>
#include <string>

namespace qb::testsupport {

inline std::string recordingText(std::size_t lines, int left, int top) {
  std::string text;
  text.reserve(lines * 22);
  for (std::size_t i = 0; i < lines; ++i) {
    const std::string at = std::to_string(left + static_cast<int>(i * 7 % 100)) + ", " +
                           std::to_string(top + static_cast<int>(i * 13 % 100));
    const std::string stamp = "-" + std::to_string(5'000'000 + i * 10) + "\r\n";
    switch (i == lines - 1 ? 9 : i % 7) {
      case 0:
        text += "m:" + at + stamp;
        break;
      case 1:
      case 2:
        text += std::string("w:{") + static_cast<char>('a' + i % 26) + "}" + stamp;
        break;
      case 3:
        text += "m:clickl" + stamp;
        break;
      case 4:
        text += "q:" + at + stamp;
        break;
      case 5:
        text += "t:" + at + stamp;
        break;
      case 6:
        text += "u:" + at + stamp;
        break;
      default:
        text += "w:{enter}" + stamp;
        break;
    }
  }
  return text;
}

}  // namespace qb::testsupport
