#pragma once
// The shortcut maker's rules: which special folders it offers, the keys it offers, the macro
// name of a file, the hot key text and the shortcut file's name.

#include <string>
#include <string_view>
#include <vector>

namespace qb {

inline constexpr std::string_view kSelectLocation = "- Select Location -";
inline constexpr std::string_view kShortcutFilePattern = "Macro-*.*";
#ifdef _WIN32
inline constexpr std::string_view kShortcutExtension = ".lnk";
#else
// A freedesktop launcher is recognised by this extension only.
inline constexpr std::string_view kShortcutExtension = ".desktop";
#endif

// The special folders a shortcut can go to, each once, in the platform's order. On Windows the
// desktop and start menu folders; a freedesktop system offers only its desktop and application
// menu folders, whose names may be translated, so all of them.
std::vector<std::string> shortcutLocations(const std::vector<std::string>& specialFolders);

// "!" to "`" (character codes 33 to 96), then "F1" to "F12".
std::vector<std::string> shortcutKeys();

// The file name up to its first ".": empty when there is none or nothing precedes it.
std::string shortcutMacroName(std::string_view fileName);

// "CTRL+", "SHIFT+", "ALT+" for the ticked boxes, in that order, then the key.
std::string hotKeyText(bool ctrl, bool shift, bool alt, std::string_view key);

// A single character needs a modifier: it would take the key from every application.
bool hotKeyNeedsModifier(bool ctrl, bool shift, bool alt, std::string_view key);

}  // namespace qb
