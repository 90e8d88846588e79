#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace qb::platform::x11 {

// Splits a command line into arguments as a POSIX shell would, without running one and without
// expansions: blanks separate words; '...' keeps everything literally; "..." keeps everything
// but lets a backslash escape " \ $ ` and a line break; a backslash outside quotes takes the
// next character literally. Fails on an unclosed quote.
Result<std::vector<std::string>> splitCommandLine(std::string_view line);

}  // namespace qb::platform::x11
