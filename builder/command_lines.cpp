#include "builder/command_lines.h"

#include "common/text.h"

namespace qb {

namespace {
// The text with an unterminated last line closed by CR LF.
std::string terminated(std::string_view text) {
  std::string out(text);
  if (!out.empty() && out.back() != '\n') out += kCrLf;
  return out;
}
}  // namespace

std::string withLineAdded(std::string_view text, std::string_view line) {
  std::string out = terminated(text);
  out += line;
  out += kCrLf;
  return out;
}

std::string sendTextLine(std::string_view text, bool ctrl, bool shift, bool alt) {
  std::string line = "w:";
  if (ctrl) line += '^';
  if (alt) line += '%';
  if (shift) line += '+';
  line += text;
  return line;
}

std::string mouseLines(std::string_view x, std::string_view y, ClickChoice click) {
  std::string lines = "m:" + std::string(x) + ", " + std::string(y);
  const char* second = nullptr;
  switch (click) {
    case ClickChoice::LeftClick:
      second = "m:leftclick";
      break;
    case ClickChoice::LeftDown:
      second = "m:leftclickdown";
      break;
    case ClickChoice::RightClick:
      second = "m:rightclick";
      break;
    case ClickChoice::RightDown:
      second = "m:rightclickdown";
      break;
    case ClickChoice::LeftUp:
      second = "m:leftclickup";
      break;
    case ClickChoice::RightUp:
      second = "m:rightclickup";
      break;
    case ClickChoice::None:
      break;
  }
  if (second) {
    lines += kCrLf;
    lines += second;
  }
  return lines;
}

std::string matchCode(std::string_view matchText) {
  if (matchText == "Exact Match") return "em";
  if (matchText == "Starts With") return "sw";
  if (matchText == "Ends With") return "ew";
  if (matchText == "Contains") return "in";
  return std::string(matchText);
}

std::string limitLine(bool quitWhenInactive, std::string_view matchText, std::string_view window) {
  return std::string("limitto:") + (quitWhenInactive ? "q" : "w") + ":" + matchCode(matchText) +
         "=" + std::string(window);
}

std::optional<std::string> withLoopHeader(std::string_view text, bool infinite,
                                          std::string_view count) {
  if (!infinite && !isNumeric(count)) return std::nullopt;
  std::string body = terminated(text);
  if (body.compare(0, 5, "loop:") == 0) {
    // Only the header line goes; a body with bare LF line ends keeps its other lines.
    const auto end = body.find('\n');
    body.erase(0, end == std::string::npos ? body.size() : end + 1);
  }
  const std::string header = infinite ? "loop:infinite" : "loop:" + std::string(count);
  return header + std::string(kCrLf) + body;
}

}  // namespace qb
