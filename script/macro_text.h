#pragma once
// The macro line language: the repeat header, the recorded dialect's line kinds and fields,
// and the time stamp rules every reader and the speed rewrite share.

#include <cstdint>
#include <optional>
#include <string_view>

namespace qb {

// Line 0 of a macro text: everything before the first CR LF.
std::string_view firstLine(std::string_view text);

// The text after "loop:" (any letter case) when `line0` is a repeat header.
std::optional<std::string_view> repeatHeaderCount(std::string_view line0);

// A repeat count as both executors read it: a whole number that fits 32 bits, blanks around
// allowed. Anything else counts 0 passes.
std::int64_t readRepeatCount(std::string_view count);

// A timed line splits into the text before its time separator and the stamp: the stamp is the
// trailing number, and a "-" directly before its own sign "-" is the separator. So "w:{-}-100"
// gives "w:{-}" and 100, "w:{enter}--5" gives "w:{enter}" and -5, "m:5,-12-9" gives "m:5,-12".
struct TimeStamp {
  std::size_t separator = 0;  // index of the separating "-"
  std::int64_t stamp = 0;
};
std::optional<TimeStamp> splitTimeStamp(std::string_view line);

// The pause between two recorded stamps: the absolute difference, taken across the 32-bit
// wrap of the tick count when both stamps are tick counts.
std::int64_t pauseBetween(std::int64_t previous, std::int64_t current);
// The signed step from `previous` to `current` under the same wrap rule.
std::int64_t stampStep(std::int64_t previous, std::int64_t current);

enum class RecordedKind { Move, ClickLeft, ClickRight, ClickOther, Key, DragStart, DragStep, DragEnd };

struct RecordedLine {
  RecordedKind kind = RecordedKind::Move;
  int x = 0;
  int y = 0;
  bool hasPosition = false;
  std::int64_t stamp = 0;
  std::string_view keys;  // Key lines
};

// A line of the recorded dialect, or empty when it is of no kind or its fields do not read.
std::optional<RecordedLine> parseRecordedLine(std::string_view line);

// A screen coordinate as 16-bit signed text, blanks around allowed.
std::optional<int> parseCoordinate(std::string_view text);

}  // namespace qb
