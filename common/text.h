#pragma once
// Small text helpers shared by every subsystem. Macro text is bytes; letter case rules are ASCII.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qb {

inline constexpr std::string_view kCrLf = "\r\n";

// Leading and trailing blanks (spaces) removed, as the toolkit's Trim does.
std::string_view trimBlanks(std::string_view text);

std::string toLowerAscii(std::string_view text);
std::string toUpperAscii(std::string_view text);
char toLowerAscii(char c);
bool equalsNoCase(std::string_view a, std::string_view b);
bool startsWithNoCase(std::string_view text, std::string_view prefix);
bool endsWithNoCase(std::string_view text, std::string_view suffix);

// A decimal whole number with an optional sign, blanks around it allowed. Nothing else may
// follow. Empty when the text is no such number or the value lies outside [min, max].
std::optional<std::int64_t> parseWholeNumber(std::string_view text, std::int64_t min,
                                             std::int64_t max);

// The toolkit's numeric test: blanks around, optional sign, digits with an optional decimal
// point, an optional exponent. Returns the value when the text is numeric.
std::optional<double> parseNumeric(std::string_view text);
inline bool isNumeric(std::string_view text) {
  return parseNumeric(text).has_value();
}

// Every element of a split at CR LF, the one after the last CR LF included.
std::vector<std::string_view> splitAtCrLf(std::string_view text);

// Walks the lines of a macro text that are followed by CR LF: the element after the last
// CR LF is never produced, as the executors never execute it.
class CrLfLines {
 public:
  explicit CrLfLines(std::string_view text) : text_(text) {}
  bool next(std::string_view& line);

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// The current date and time as the trigger fields carry it, to the second.
std::string formatTimeOfDay(std::int64_t unixSeconds);

// One character in UTF-8 (U+FFFD for a surrogate or a value past U+10FFFF).
void appendUtf8(std::string& out, char32_t c);

}  // namespace qb
