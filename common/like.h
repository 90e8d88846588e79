#pragma once
#include <string_view>

namespace qb {

// The toolkit's wildcard match, case-sensitive: "*" any run of characters, "?" one character,
// "#" one digit, "[list]" one character of the list (ranges "a-z", "[!list]" negates).
// A "[" without its closing "]" matches itself.
bool likeMatch(std::string_view text, std::string_view pattern);

}  // namespace qb
