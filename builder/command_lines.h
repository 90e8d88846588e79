#pragma once
// The lines the builder's command editors write into the macro text. Field values go in exactly
// as typed: the runner deals with whatever they hold.

#include <optional>
#include <string>
#include <string_view>

namespace qb {

// Appends `line` and CR LF, after closing an unterminated last line with CR LF first.
std::string withLineAdded(std::string_view text, std::string_view line);

// "w:" with "^" for Ctrl, "%" for Alt, "+" for Shift, in that order, then the text.
std::string sendTextLine(std::string_view text, bool ctrl, bool shift, bool alt);

enum class ClickChoice { None, LeftClick, LeftDown, RightClick, RightDown, LeftUp, RightUp };

// "m:X, Y", then the click line of `click`, if any.
std::string mouseLines(std::string_view x, std::string_view y, ClickChoice click);

// "em", "sw", "ew", "in" for the match list's entries; any other text is its own code.
std::string matchCode(std::string_view matchText);
// "limitto:" + q or w + ":" + match code + "=" + window name.
std::string limitLine(bool quitWhenInactive, std::string_view matchText, std::string_view window);

// The text with its repeat header replaced: "loop:infinite", or "loop:" + count when the count
// is numeric. Empty when the count is refused; the caller then leaves the text as it was.
std::optional<std::string> withLoopHeader(std::string_view text, bool infinite,
                                          std::string_view count);

}  // namespace qb
