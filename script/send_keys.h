#pragma once
// The send-keys grammar: "+" Shift, "^" Ctrl and "%" Alt for the next key or "(group)",
// braced key names in any letter case with an optional repeat count ("{LEFT 3}"), a braced
// single character ("{+}", "{}}"), "~" for Enter, and plain characters.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/input.h"

namespace qb {

struct KeyStringError {
  std::size_t column = 0;  // 1-based position in the key string
  std::string message;
  std::string describe() const;
};

struct ParsedKeys {
  platform::KeySequence keys;
  std::optional<KeyStringError> error;
  bool ok() const { return !error.has_value(); }
};

ParsedKeys parseKeyString(std::string_view text);

// The virtual-key code of a braced key name ("ENTER", "pgdn", "F7"), or 0 when unknown.
std::uint16_t keyNameToVk(std::string_view name);

}  // namespace qb
