#pragma once
// The text fields' clipboard: UTF-8 text in and out as CF_UNICODETEXT with CR LF line breaks,
// opened for a moment through the field's own window.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace qb::ui {

// False when the clipboard could not be opened or took nothing.
bool putClipboardText(HWND owner, std::string_view utf8);
// Nothing when there is no text or the clipboard could not be opened; line breaks as they were.
std::optional<std::string> clipboardText(HWND owner);

}  // namespace qb::ui
