#pragma once
#include "platform/shell.h"

namespace qb::platform::x11 {

// Web pages in the user's browser; text files in $VISUAL or $EDITOR inside a terminal
// emulator when either is set (they are usually terminal editors), else in the desktop's
// editor for the file's type (xdg-open).
class QtShell final : public Shell {
 public:
  bool openUrl(std::string_view url) override;
  Result<> openTextEditor(std::string_view path) override;
};

}  // namespace qb::platform::x11
