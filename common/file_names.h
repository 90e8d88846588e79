#pragma once
#include <string>
#include <string_view>

#include "common/result.h"

namespace qb {

// Succeeds when a macro name can become a file name in the macro folder; else says why not.
Result<> checkMacroFileName(std::string_view fileName);

}  // namespace qb
