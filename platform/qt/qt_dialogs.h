#pragma once
#include "platform/dialogs.h"

namespace qb::platform::x11 {

// Message boxes as QMessageBox: modal, the event loop keeps turning while one is shown.
class QtDialogs final : public Dialogs {
 public:
  MessageAnswer messageBox(std::string_view text, std::string_view title,
                           MessageButtons buttons) override;
};

}  // namespace qb::platform::x11
