#pragma once
#include "platform/shell.h"

namespace qb::platform::x11 {

// The desktop's clipboard (CLIPBOARD selection) through Qt.
class QtClipboard final : public Clipboard {
 public:
  std::optional<std::string> text() override;
  bool clear() override;
  bool setText(std::string_view text) override;
  ClipboardContents contents() override;
  bool restore(const ClipboardContents& contents) override;
};

}  // namespace qb::platform::x11
