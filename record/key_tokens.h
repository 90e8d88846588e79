#pragma once
// The braced tokens key lines carry for virtual keys ("{ENTER}", "{f5}"), kept as a table of
// rows: the hook looks keys up in it, and the tests play every row back through the key-string
// parser.

#include <cstdint>
#include <span>
#include <string_view>

namespace qb {

struct KeyTokenRow {
  std::uint16_t key = 0;
  std::string_view token;
  // Home and End: the Shift and Ctrl the hook's own tracking saw held are written before them.
  bool takesTrackedModifiers = false;
};

// Every key with a token of its own.
std::span<const KeyTokenRow> keyTokenRows();

// The row of a key, or null for a key without a token of its own.
const KeyTokenRow* findKeyToken(std::uint16_t key);

}  // namespace qb
