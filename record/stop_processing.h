#pragma once
// What Stop makes of a recording: every press-and-drag of "t:" lines becomes one drag start,
// its steps and one drag end; the click line the press left before a drag goes; a lone drag
// step goes; the line after the last CR LF goes; the whole text is lower-cased.

#include <functional>
#include <string>
#include <string_view>

namespace qb {

// One linear pass. `pause` is called every few thousand lines so a long recording keeps the
// window responsive.
std::string processRecording(std::string_view text, const std::function<void()>& pause = {});

}  // namespace qb
