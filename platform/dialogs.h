#pragma once
#include <string>
#include <string_view>

namespace qb::platform {

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A modal message box; the event loop keeps turning while it is shown.
  virtual MessageAnswer messageBox(std::string_view text, std::string_view title,
                                   MessageButtons buttons) = 0;
};

}  // namespace qb::platform
