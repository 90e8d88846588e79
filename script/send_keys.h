#pragma once
// The send-keys grammar: "+" Shift, "^" Ctrl and "%" Alt for the next key or "(group)",
// braced key names in any letter case with an optional repeat count ("{LEFT 3}"), a braced
// single character ("{+}", "{}}"), "~" for Enter, and plain characters.

#include <cstddef>
#include <string>
#include <string_view>

#include "common/result.h"
#include "platform/input.h"

namespace qb {

struct KeyStringError {
  std::size_t column = 0;  // 1-based position in the key string
  std::string message;
  std::string describe() const;
};

// The keys to press and release, or where and why the key string is wrong.
using ParsedKeys = Result<platform::KeySequence, KeyStringError>;

ParsedKeys parseKeyString(std::string_view text);

// The virtual-key code of a braced key name ("ENTER", "pgdn", "F7"), or 0 when unknown.
std::uint16_t keyNameToVk(std::string_view name);

}  // namespace qb
