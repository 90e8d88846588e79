#pragma once
// Shortcut files (.lnk) through the shell's IShellLinkW and IPersistFile: the program they
// start, its folder as the working folder, and the hot key from the hot key text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/shell.h"

namespace qb::platform::win32 {

class ShellLinkWriter final : public ShortcutWriter {
 public:
  Result<> write(const Shortcut& shortcut) override;
};

// The word IShellLinkW::SetHotkey takes for a hot key text ("CTRL+ALT+F7", "SHIFT+!"): the
// virtual key in the low byte, the HOTKEYF_ modifiers in the high byte; 0 for no hot key.
// Nothing when the key has no key on this keyboard layout.
std::optional<std::uint16_t> shellLinkHotKey(std::string_view text);

// What a shortcut file holds, read back through the same interfaces (tests).
struct ShellLinkContents {
  std::string target;
  std::string workingFolder;
  std::uint16_t hotKey = 0;
};
Result<ShellLinkContents> readShellLink(const std::string& path);

}  // namespace qb::platform::win32
