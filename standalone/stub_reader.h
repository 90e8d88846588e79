#pragma once
// The stub's reading side: the macro a stand-alone program carries after its own image.

#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"

namespace qb {

// The macro text field's tag that marks the appended macro as an advanced one.
inline constexpr std::string_view kAdvancedMacroTag = "7777777777777";

struct AppendedMacro {
  // Everything after the marker, the closing CR LF included: it ends a last line that had no
  // line end of its own. Empty when the closing CR LF is all there is.
  std::string text;
  bool advanced = false;
};

// The macro after the first recorded-macro marker, or else after the first advanced-macro
// marker. Empty when the image holds neither (the bare stub).
std::optional<AppendedMacro> findAppendedMacro(std::string_view image);

// Reads the program file at `ownPath` and finds its macro. Fails, naming the file, when the
// file cannot be read or carries no macro.
Result<AppendedMacro> readAppendedMacro(const std::string& ownPath);

}  // namespace qb
