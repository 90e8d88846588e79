#pragma once
#include <string_view>

#include "common/version.h"

// Names the windows and messages show.
namespace qb {
inline constexpr std::string_view kProductTitle = "Quillbarrow " QB_VERSION;
inline constexpr std::string_view kSiteName = "quillbarrow.example";
inline constexpr std::string_view kSupportAddress = "support@quillbarrow.example";
inline constexpr std::string_view kWindowTitle = "Quillbarrow " QB_VERSION " - quillbarrow.example";
// The help page is shipped beside the programs, so it opens without a network.
inline constexpr std::string_view kHelpPageFile = "quillbarrow-help.html";
inline constexpr std::string_view kShortcutMakerToken = "KWhatever5150";
#ifdef _WIN32
inline constexpr std::string_view kShortcutMakerProgram = "Kestrip.exe";
inline constexpr std::string_view kStubProgram = "Tapbolt.exe";
#else
inline constexpr std::string_view kShortcutMakerProgram = "kestrip";
inline constexpr std::string_view kStubProgram = "tapbolt";
#endif
}  // namespace qb
