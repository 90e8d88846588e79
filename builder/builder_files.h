#pragma once
// Advanced macro files: "Macro-AM-" + name + ".txt" in the macro folder.

#include <string>
#include <string_view>

namespace qb {

inline constexpr std::string_view kAdvancedMacroPattern = "Macro-AM-*.txt";

// The file name for the name box's text, kept as typed (blanks included).
std::string advancedMacroFileName(std::string_view name);

// The saved content: the macro text without surrounding blanks, then CR LF.
std::string advancedMacroContent(std::string_view macroText);

}  // namespace qb
