#include "script/macro_text.h"

#include <charconv>
#include <cstdint>
#include <limits>

#include "common/text.h"

namespace qb {

std::string_view firstLine(std::string_view text) {
  const auto at = text.find(kCrLf);
  return at == std::string_view::npos ? text : text.substr(0, at);
}

std::optional<std::string_view> repeatHeaderCount(std::string_view line0) {
  if (!startsWithNoCase(line0, "loop:")) return std::nullopt;
  return line0.substr(5);
}

std::int64_t readRepeatCount(std::string_view count) {
  return parseWholeNumber(count, std::numeric_limits<std::int32_t>::min(),
                          std::numeric_limits<std::int32_t>::max())
      .value_or(0);
}

std::optional<TimeStamp> splitTimeStamp(std::string_view line) {
  std::size_t end = line.size();
  while (end > 0 && line[end - 1] == ' ') --end;
  std::size_t digits = end;
  while (digits > 0 && line[digits - 1] >= '0' && line[digits - 1] <= '9') --digits;
  if (digits == end) return std::nullopt;
  std::size_t sign = digits;
  while (sign > 0 && line[sign - 1] == ' ') --sign;
  if (sign == 0 || line[sign - 1] != '-') return std::nullopt;
  std::uint64_t magnitude = 0;
  const auto [ptr, ec] = std::from_chars(line.data() + digits, line.data() + end, magnitude);
  if (ec != std::errc() || magnitude > static_cast<std::uint64_t>(INT64_MAX)) return std::nullopt;
  TimeStamp result;
  result.stamp = static_cast<std::int64_t>(magnitude);
  result.separator = sign - 1;
  if (sign >= 2 && line[sign - 2] == '-') {
    result.separator = sign - 2;
    result.stamp = -result.stamp;
  }
  return result;
}

static bool isTickCount(std::int64_t v) {
  return v >= std::numeric_limits<std::int32_t>::min() &&
         v <= std::numeric_limits<std::int32_t>::max();
}

std::int64_t stampStep(std::int64_t previous, std::int64_t current) {
  // Stamps of one recording never lie 24.8 days apart; a larger step between two tick counts
  // is the tick count wrapping, not a pause.
  if (isTickCount(previous) && isTickCount(current)) {
    const auto step = static_cast<std::uint32_t>(current) - static_cast<std::uint32_t>(previous);
    return static_cast<std::int32_t>(step);
  }
  // Scaled stamps may leave the 32-bit range; they are plain numbers. Saturate, never overflow,
  // and keep the step's magnitude representable, so its absolute value is too.
  std::int64_t step = 0;
  if (__builtin_sub_overflow(current, previous, &step))
    return current > previous ? INT64_MAX : -INT64_MAX;
  return step == INT64_MIN ? -INT64_MAX : step;
}

std::int64_t pauseBetween(std::int64_t previous, std::int64_t current) {
  const std::int64_t step = stampStep(previous, current);
  return step < 0 ? -step : step;
}

std::optional<int> parseCoordinate(std::string_view text) {
  const auto v = parseWholeNumber(text, std::numeric_limits<std::int16_t>::min(),
                                  std::numeric_limits<std::int16_t>::max());
  if (!v) return std::nullopt;
  return static_cast<int>(*v);
}

static bool readPosition(std::string_view fields, RecordedLine& out) {
  const auto comma = fields.find(',');
  if (comma == std::string_view::npos) return false;
  const auto x = parseCoordinate(fields.substr(0, comma));
  const auto y = parseCoordinate(fields.substr(comma + 1));
  if (!x || !y) return false;
  out.x = *x;
  out.y = *y;
  out.hasPosition = true;
  return true;
}

std::optional<RecordedLine> parseRecordedLine(std::string_view line) {
  if (line.size() < 2 || line[1] != ':') return std::nullopt;
  RecordedLine out;
  switch (line[0]) {
    case 'm':
    case 'w':
    case 'q':
    case 't':
    case 'u':
      break;
    default:
      return std::nullopt;
  }
  const auto stamp = splitTimeStamp(line);
  if (!stamp || stamp->separator < 2) return std::nullopt;
  out.stamp = stamp->stamp;
  const std::string_view fields = line.substr(2, stamp->separator - 2);
  switch (line[0]) {
    case 'w':
      out.kind = RecordedKind::Key;
      out.keys = fields;
      return out;
    case 'm':
      if (fields.substr(0, 5) == "click") {
        out.kind = fields == "clickl"   ? RecordedKind::ClickLeft
                   : fields == "clickr" ? RecordedKind::ClickRight
                                        : RecordedKind::ClickOther;
        return out;
      }
      out.kind = RecordedKind::Move;
      break;
    case 'q':
      out.kind = RecordedKind::DragStart;
      break;
    case 't':
      out.kind = RecordedKind::DragStep;
      break;
    default:
      out.kind = RecordedKind::DragEnd;
      break;
  }
  if (!readPosition(fields, out)) return std::nullopt;
  return out;
}

}  // namespace qb
