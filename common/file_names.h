#pragma once
#include <string>
#include <string_view>

namespace qb {

// Why a macro name cannot become a file name in the macro folder, or empty when it can.
std::string macroNameProblem(std::string_view fileName);

}  // namespace qb
