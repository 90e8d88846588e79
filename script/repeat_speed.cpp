#include "script/repeat_speed.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "common/text.h"
#include "script/macro_text.h"

namespace qb {

std::string withRepeatHeader(std::string_view text, std::string_view count) {
  std::string out = "loop:";
  out += trimBlanks(count);
  out += kCrLf;
  out += text;
  return out;
}

double speedFactor(double percent, bool decrease) {
  return decrease ? 1 + percent * 0.01 : percent * 0.01;
}

static void appendNumber(std::string& out, std::int64_t value) {
  char buf[24];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, end);
}

std::string withScaledTimeStamps(std::string_view text, double factor) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  std::optional<std::int64_t> previousRaw;
  std::int64_t continuous = 0;  // the stamp with the tick count's wraps undone
  CrLfLines lines(text);
  std::string_view line;
  while (lines.next(line)) {
    if (line.find('-') == std::string_view::npos) continue;
    const auto stamp = splitTimeStamp(line);
    std::int64_t next = stamp ? stamp->stamp : 0;
    const bool readable =
        stamp && (!previousRaw ||
                  !__builtin_add_overflow(continuous, stampStep(*previousRaw, stamp->stamp), &next));
    const double scaled = std::nearbyint(static_cast<double>(next) * factor);
    if (!readable || !(std::fabs(scaled) < 9.0e18)) {
      out += line;
    } else {
      continuous = next;
      previousRaw = stamp->stamp;
      out.append(line.substr(0, stamp->separator + 1));
      appendNumber(out, static_cast<std::int64_t>(scaled));
    }
    out += kCrLf;
  }
  return out;
}

}  // namespace qb
