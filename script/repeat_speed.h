#pragma once
// The two rewrites of a stored recorded macro: a repeat header put in front, and every time
// stamp multiplied by a factor.

#include <string>
#include <string_view>

#include "common/file_io.h"

namespace qb {

// "loop:" + count (blanks trimmed) + CR LF + the old text, unchanged.
std::string withRepeatHeader(std::string_view text, std::string_view count);

// Every line followed by CR LF that carries a time stamp gets the stamp times `factor`, to the
// nearest whole number (halves to the even neighbour). Lines without "-" (the repeat header)
// are dropped; lines whose stamp does not read stay as they are. Stamps of a recording that
// spans the tick count's wrap are scaled as one continuous run.
std::string withScaledTimeStamps(std::string_view text, double factor);

// The speed dialog's factor for a percentage: "Decrease Speed" 1 + N/100, else N/100.
double speedFactor(double percent, bool decrease);

// Reads the macro file, applies `rewrite` and writes the result followed by CR LF through a
// temporary file renamed over the macro.
template <typename Rewrite>
Result<> rewriteMacroFile(const std::string& path, Rewrite rewrite) {
  const auto text = readWholeFile(path);
  if (!text) return text.error();
  std::string updated = rewrite(std::string_view(*text));
  updated += "\r\n";
  return writeFileAtomic(path, updated);
}

}  // namespace qb
